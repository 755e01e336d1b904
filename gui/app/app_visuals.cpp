#include "gui/app/app_visuals.h"

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/paths/path_routines.h"
#include "interfaces/ids.h"
#include "visual/control/visual_control.h"

namespace vk2::gui {
namespace {

constexpr char16_t kVisualControlSection[] = u"velkora/gui/visualcontrol";
constexpr char16_t kVisualsPath[] = u"visuals_path";
constexpr char16_t kDefaultGroup[] = u"default";

RefPtr<VisualControl> NewControl(MVisualHost* host) {
  RefPtr<MPreferenceStore> section =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  // Without the section the groups live on but are not kept.
  if (section && section->OpenSection(kVisualControlSection, 1) < 0) section = nullptr;
  return VisualControl::Make(host, section.Get());
}

}  // namespace

RefPtr<MVisualControl> MakeVisualControl() {
  RefPtr<VisualControl> control = NewControl(nullptr);
  return control ? RefPtr<MVisualControl>(static_cast<MVisualControl*>(control.Get())) : nullptr;
}

bool AppVisuals::Start(MPreferenceStore* brint, const TString& programFolder,
                       MScriptObject* parent) {
  host_ = CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
  RefPtr<VisualControl> control = host_ ? NewControl(host_.Get()) : nullptr;
  if (!control) {
    host_ = nullptr;
    return false;
  }
  if (brint) {
    brint->PrepString(kVisualsPath, JoinPath(programFolder, u"vis").c_str());
    host_->ScanVisualsPath(brint);
  }
  if (parent) control->AttachTo(reinterpret_cast<uintptr_t>(parent));
  concrete_ = control.Get();
  control_ = RefPtr<MVisualControl>(static_cast<MVisualControl*>(concrete_));
  return true;
}

void AppVisuals::Stop() {
  if (concrete_) concrete_->Detach();
  concrete_ = nullptr;
  control_ = nullptr;
  host_ = nullptr;
}

bool AppVisuals::HasGroupMembers() const {
  return concrete_ && concrete_->MemberCount() > 0;
}

int32_t AppVisuals::LoadVisual(const TString& path) {
  if (!host_) return kErrNoService;
  return host_->AddFiles(path.c_str()) < 0 ? kErrFailed : kOk;
}

int32_t AppVisuals::StepVisual(bool previous) {
  if (!control_) return kErrNoService;
  return previous ? control_->GroupPrevVisual(kDefaultGroup)
                  : control_->GroupNextVisual(kDefaultGroup);
}

}  // namespace vk2::gui
