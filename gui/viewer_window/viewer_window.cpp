#include "gui/viewer_window/viewer_window.h"

#include "gui/viewer_window/viewer_content.h"

namespace vk2::gui {

int32_t ViewerWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated && guiMain_ && !opened_) {
    TString folder;
    guiMain_->GetExecutableFolder(&folder);
    PackageWindowRef builtIn;
    if (ViewerBuiltInWindow(folder, &builtIn)) {
      MUnknown* window = nullptr;
      guiMain_->OpenInterfaceWindow(
          &window, builtIn.path.c_str(), builtIn.document.c_str(), builtIn.window.c_str(), 1,
          reinterpret_cast<uintptr_t>(static_cast<MWindowElement*>(this)));
      if (window) {
        opened_ = true;
        window->Release();
      }
    }
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui
