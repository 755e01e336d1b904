// The player bridge: the user interface's one owner of the media core. It starts the core with
// the default playlist and player, publishes the core's script objects, restores the default
// playlist at start and saves it at exit, turns player events into status texts, and looks
// players and playlists up by name for the rest of the module.
#pragma once

#include <functional>
#include <mutex>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "gui/bridge/remote_option.h"
#include "gui/main/core_access.h"
#include "interfaces/core/core.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/gui/listener_list.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {

// What the bridge takes from the user interface; each may answer null while it starts or ends.
struct BridgeServices {
  // The GUI main object's status interface.
  std::function<MListenerList*()> status;
  // Adds a script object under the GUI main object's script object.
  std::function<void(MUnknown* object)> publish;
  std::function<MScriptEngine*()> engine;
  std::function<void(int32_t level, const TString& text)> log;
};

class StatusListener final : public MCoreListener, public CoreAccess {
 public:
  // `folder` holds the default playlist file (made absolute against the current folder).
  StatusListener(const TString& folder, BridgeServices services);
  ~StatusListener();
  StatusListener(const StatusListener&) = delete;
  StatusListener& operator=(const StatusListener&) = delete;

  // `tokens`: the first instance's command line, token 0 the program.
  bool StartCore(const TArray<TString>& tokens);
  void StopCore();

  // Null before a successful start and after the stop.
  MCore* Core();
  const RemoteHost& Remote() const { return remote_; }
  TString DefaultPlaylistPath() const;
  // "Velkora 2 <version> (<build date>)".
  TString GetVersionText();

  // Without a core these answer kErrNoService.
  int32_t GetPlayer(RefPtr<MPlayer>* out, const TString& name);
  int32_t GetPlaylist(RefPtr<MPlaylist>* out, const TString& name);

  // CoreAccess
  RefPtr<MPlayer> FindPlayer(const TString& name) override;
  RefPtr<MPlaylist> FindPlaylist(const TString& name) override;
  int32_t AddTemporaryPlaylist(const TString& base, TString* name) override;
  int32_t RemovePlaylist(const TString& name) override;
  int32_t LoadIntoPlaylist(const TString& playlist, const TString& entry) override;
  TString ErrorMessage(int32_t code) override;

  // MCoreListener: on the core's event thread.
  void OnCoreEvent(int32_t code, const TString& text, MPlayer* player) override;

 private:
  // The core with a reference, so it stays while a caller uses it outside the lock.
  RefPtr<MCore> HeldCore();
  bool CreateDefaults(MCore* core);
  void PublishScriptObjects(MCore* core, const TString& program);
  bool SavePlaylistWanted();
  void RestoreDefaultPlaylist();
  void SaveDefaultPlaylist();
  TString DisplayString();
  void Log(int32_t level, const TString& text);

  TString folder_;
  BridgeServices services_;
  RemoteHost remote_;
  std::mutex coreMutex_;
  RefPtr<MCore> core_;
  RefPtr<MScriptContainer> playlists_;
  RefPtr<MScriptContainer> players_;
  RefPtr<MPlayerHelper> helper_;
  RefPtr<MScriptObject> prefsObject_;
};

}  // namespace vk2::gui
