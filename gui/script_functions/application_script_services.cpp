#include "gui/script_functions/application_script_services.h"

#include "gui/app/gui_application.h"

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
  // The interface list and the window manager's interface operations join here as they come.
  return services;
}

}  // namespace vk2::gui
