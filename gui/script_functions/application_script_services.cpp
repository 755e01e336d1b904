#include "gui/script_functions/application_script_services.h"

#include "gui/app/gui_application.h"
#include "gui/app/gui_thread.h"

namespace vk2::gui {

GuiScriptServices ApplicationScriptServices(GuiApplication* app) {
  GuiScriptServices services = RuntimeGuiScriptServices();
  services.main = app->GuiMain();
  services.status = app->GuiMain() ? app->GuiMain()->Status() : nullptr;
  services.players = app->Bridge();
  services.core = [app]() -> MCore* { return app->Bridge() ? app->Bridge()->Core() : nullptr; };
  services.exit = [app] {
    if (WindowManager* windows = app->Windows()) windows->CloseAllWindows();
    app->QuitApplication(0);
  };
  services.setLanguages = [app](const TArray<TString>& languages) {
    return app->SetLanguages(languages);
  };
  services.textDomain = [app] { return RefPtr<MTextDomain>(app->TextDomain()); };
  services.interfaces = [app] { return app->Interfaces(); };
  // Scripts run on the loop thread or the scripting thread; windows are touched on the loop.
  const auto onWindows = [app](const std::function<bool(WindowManager&)>& task) {
    WindowManager* windows = app->Windows();
    if (!windows) return false;
    bool done = false;
    RunOnGuiThread(app->GuiApp(), [&] { done = task(*windows); });
    return done;
  };
  services.setDefaultInterface = [onWindows](const InterfaceRecord& record) {
    return onWindows([&](WindowManager& windows) {
      windows.SetDefaultInterface(record);
      return true;
    });
  };
  services.reloadWindows = [onWindows] {
    onWindows([](WindowManager& windows) {
      windows.ReopenWindows();
      return true;
    });
  };
  services.openWindow = [onWindows](const TString& name) {
    return onWindows(
        [&](WindowManager& windows) { return windows.OpenWindow(name, nullptr, nullptr); });
  };
  services.openRemoteWindow = [onWindows](const InterfaceRecord& record, const TString& name) {
    return onWindows([&](WindowManager& windows) {
      return windows.OpenRemoteWindow(record, name, nullptr, nullptr);
    });
  };
  services.createWindow = [onWindows](const WindowRequest& request) {
    return onWindows([&](WindowManager& windows) {
      return windows.CreateWindowOf(request.record, request.definition, request.classId,
                                    request.name, request.typeName, nullptr);
    });
  };
  return services;
}

}  // namespace vk2::gui
