// How the user interface reaches the media core's named players and playlists and its generic
// loader. The media core object serves it in the module; tests put their own in its place.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/core.h"
#include "interfaces/core/playlist_loader.h"

namespace vk2::gui {

class CoreAccess {
 public:
  // Null when there is none of that name (an empty name means "default").
  virtual RefPtr<MPlayer> FindPlayer(const TString& name) = 0;
  virtual RefPtr<MPlaylist> FindPlaylist(const TString& name) = 0;
  // A new playlist under a fresh name "<base>_<8 hex digits>".
  virtual int32_t AddTemporaryPlaylist(const TString& base, TString* name) = 0;
  virtual int32_t RemovePlaylist(const TString& name) = 0;
  // Loads a file, folder, URL or playlist file into the named playlist: items added, or a
  // negative code.
  virtual int32_t LoadIntoPlaylist(const TString& playlist, const TString& entry) = 0;
  // The message of a result code; empty when it has none.
  virtual TString ErrorMessage(int32_t code) = 0;

 protected:
  ~CoreAccess() = default;
};

// Over the media core of the runtime (obtained on first use, held until destroyed).
class RuntimeCoreAccess final : public CoreAccess {
 public:
  RuntimeCoreAccess();
  ~RuntimeCoreAccess();
  RuntimeCoreAccess(const RuntimeCoreAccess&) = delete;
  RuntimeCoreAccess& operator=(const RuntimeCoreAccess&) = delete;

  // Obtains the media core on first use; null without one.
  MCore* Core();
  bool HasCore() const { return core_ != nullptr; }

  RefPtr<MPlayer> FindPlayer(const TString& name) override;
  RefPtr<MPlaylist> FindPlaylist(const TString& name) override;
  int32_t AddTemporaryPlaylist(const TString& base, TString* name) override;
  int32_t RemovePlaylist(const TString& name) override;
  int32_t LoadIntoPlaylist(const TString& playlist, const TString& entry) override;
  TString ErrorMessage(int32_t code) override;

 private:
  RefPtr<MCore> core_;
  RefPtr<MGenericLoader> loader_;
};

// The runtime's message for a result code; empty when it has none.
TString RuntimeErrorMessage(int32_t code);

// "default" for an empty name.
TString ObjectNameOrDefault(const TString& name);

}  // namespace vk2::gui
