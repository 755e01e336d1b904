// The user interface's share of the visualisation host: the one handler and the visual control
// object (the script object `visuals`), made at start-up and let go at shutdown once the visual
// windows have closed, so that the groups they leave are stored.
#pragma once

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/script/script_object.h"
#include "interfaces/visual/visual_control.h"
#include "interfaces/visual/visual_host.h"

namespace vk2 {
class VisualControl;
}  // namespace vk2

namespace vk2::gui {

class AppVisuals {
 public:
  // Makes the handler and the control object, seeds "visuals_path" (`programFolder` + "/vis")
  // in `brint`, loads the visuals found there and hangs `visuals` under `parent`. False when
  // the handler or the control object cannot be made; the user interface runs on without them.
  bool Start(MPreferenceStore* brint, const TString& programFolder, MScriptObject* parent);
  void Stop();
  // True while a visual window is still a member of a group (it has not closed yet).
  bool HasGroupMembers() const;

  // Null when the visuals did not start.
  MVisualControl* Control() const { return control_.Get(); }
  MVisualHost* Host() const { return host_.Get(); }

  // The add-files worker's and the dispatcher's ways in: load a visual file; step the group
  // "default".
  int32_t LoadVisual(const TString& path);
  int32_t StepVisual(bool previous);

 private:
  RefPtr<MVisualHost> host_;
  RefPtr<MVisualControl> control_;
  VisualControl* concrete_ = nullptr;  // the same object, for its teardown
};

// A new visual control object over the process's handler, keeping its groups in the section
// "velkora/gui/visualcontrol"; null when the handler cannot be made.
RefPtr<MVisualControl> MakeVisualControl();

}  // namespace vk2::gui
