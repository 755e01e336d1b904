#include "gui/window_base/window_classes.h"

#include "component/module/runtime_loader.h"
#include "gui/console_window/console_window.h"
#include "gui/equalizer_window/equalizer_window.h"
#include "gui/module/gui_module.h"
#include "gui/online_window/online_window.h"
#include "gui/top_menu/top_menu_sources.h"
#include "gui/top_menu/top_menu_window.h"
#include "gui/viewer_window/viewer_window.h"
#include "interfaces/runtime/language_service.h"

namespace vk2::gui {
namespace {

MGuiMain* GuiMainObjectOrNull() {
  GuiApplication* application = TheApplication();
  GuiMainObject* main = application ? application->GuiMain() : nullptr;
  return main ? static_cast<MGuiMain*>(main) : nullptr;
}

TopMenuSources RunningProgramSources() {
  RefPtr<MLanguageService> languages =
      CreateRuntimeObject<MLanguageService>(kServiceClass, kIID_MLanguageService);
  return TopMenuSourcesFrom(languages.Get(), {}, false);
}

}  // namespace

int32_t CreateEqualizerWindowObject(const Guid& iid, void** out, MUnknown* outer) {
  return CreateModuleWindowAs<EqualizerWindow>(iid, out, outer);
}

int32_t CreateConsoleWindowObject(const Guid& iid, void** out, MUnknown* outer) {
  return CreateModuleWindowAs<ConsoleWindow>(iid, out, outer);
}

int32_t CreateTopMenuWindowObject(const Guid& iid, void** out, MUnknown* outer) {
  return CreateModuleWindowAs<TopMenuWindow>(iid, out, outer, &RunningProgramSources);
}

int32_t CreateViewerWindowObject(const Guid& iid, void** out, MUnknown* outer) {
  return CreateModuleWindowAs<ViewerWindow>(iid, out, outer, GuiMainObjectOrNull());
}

int32_t CreateOnlineWindowObject(const Guid& iid, void** out, MUnknown* outer) {
  return CreateModuleWindowAs<OnlineWindow>(iid, out, outer, GuiMainObjectOrNull());
}

}  // namespace vk2::gui
