#include "gui/module/gui_module.h"

#include <memory>

#include "foundation/util/result.h"
#include "gui/app/app_visuals.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

std::unique_ptr<GuiApplication>& Application() {
  static std::unique_ptr<GuiApplication> application;
  return application;
}

}  // namespace

GuiApplication* TheApplication() {
  return Application().get();
}

bool CreateApplication() {
  if (!Application()) Application() = std::make_unique<GuiApplication>();
  return true;
}

void DestroyApplication() {
  // Its destructor shuts a launched application down.
  Application().reset();
}

int32_t CreateApplicationObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  GuiApplication* application = TheApplication();
  if (iid == kIID_MGuiApplication || iid == kIID_MAppWindowList) {
    if (!application) return kErrOutOfMemory;
    MUnknown* face = iid == kIID_MGuiApplication
                         ? static_cast<MUnknown*>(static_cast<MGuiApplication*>(application))
                         : static_cast<MUnknown*>(static_cast<MAppWindowList*>(application));
    face->AddRef();
    *out = face;
    return kOk;
  }
  if (iid == kIID_MGuiMain) {
    GuiMainObject* main = application ? application->GuiMain() : nullptr;
    if (!main) return kErrOutOfMemory;
    main->AddRef();
    *out = static_cast<MGuiMain*>(main);
    return kOk;
  }
  if (iid == kIID_MVisualControl) {
    RefPtr<MVisualControl> control = MakeVisualControl();
    if (!control) return kErrOutOfMemory;
    *out = control.Detach();
    return kOk;
  }
  return kErrNoInterface;
}

}  // namespace vk2::gui
