#include "launcher/launcher_window.h"

#include "component/module/runtime_loader.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"
#include "launcher/command_line.h"

namespace vk2::launcher {
namespace {

RefPtr<MGuiMain> GuiMain() {
  return CreateRuntimeObject<MGuiMain>(kGuiApplicationClass, kIID_MGuiMain);
}

}  // namespace

int64_t LauncherWindowProcedure(const instance::WindowMessage& message) {
  if (message.message == instance::kWmCopyData) {
    if (RefPtr<MGuiMain> gui = GuiMain()) {
      const TArray<TString> tokens = SplitCommandBytes(message.data);
      gui->ExecuteCommand(&tokens, 0);
    }
    return kDefaultWindowResult;
  }
  if (message.message >= instance::kWmUser) {
    if (RefPtr<MGuiMain> gui = GuiMain()) {
      int32_t handled = 0;
      const intptr_t result =
          gui->HandleWindowMessage(message.message, static_cast<uintptr_t>(message.wParam),
                                   static_cast<intptr_t>(message.lParam), &handled);
      if (handled) return result;
    }
  }
  return kDefaultWindowResult;
}

int64_t LauncherDdeCallback(const instance::DdeCall& call) {
  switch (call.type) {
    case instance::DdeTransaction::kConnect:
      return 1;  // any service and topic
    case instance::DdeTransaction::kExecute: {
      // Without the GUI main object the request is not run, and the answer says so.
      RefPtr<MGuiMain> gui = GuiMain();
      if (!gui) return 0;
      const TArray<TString> tokens = SplitCommandBytes(call.data);
      gui->ExecuteCommand(&tokens, 0);
      return instance::kDdeFAck;
    }
    default:
      return 0;
  }
}

}  // namespace vk2::launcher
