// What the command dispatcher reaches besides the default player and playlist: the add-files
// queue, the open-files dialog, packages, visuals and the shell. The GUI main object serves it;
// tests put their own in its place.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/player.h"
#include "interfaces/core/playlist.h"
#include "interfaces/gui/gui_application.h"

namespace vk2::gui {

class CommandTargets {
 public:
  // Null when the media core has no such object.
  virtual RefPtr<MPlayer> DefaultPlayer() = 0;
  virtual RefPtr<MPlaylist> DefaultPlaylist() = 0;
  // The add-files flags the preferences ask for.
  virtual uint32_t AddFilesOptions() = 0;
  virtual void QueueFiles(MPlaylist* playlist, const TArray<TString>& files, uint32_t flags) = 0;
  virtual int32_t OpenFilesDialog() = 0;
  virtual int32_t InstallPackage(const TString& path) = 0;
  // Next (or previous) visual of the visual named "default"; kErrNoService while none runs.
  virtual int32_t StepVisual(bool previous) = 0;
  // Nonzero when the shell accepted the target.
  virtual int32_t ShellOpen(const TString& target) = 0;

 protected:
  ~CommandTargets() = default;
};

}  // namespace vk2::gui
