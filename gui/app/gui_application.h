// The application object: launches the GUI layer's application, starts the user interface's
// services in their fixed, logged order, runs the init script, opens the main window, runs the
// message loop and tears everything down again in order.
#pragma once

#include <atomic>
#include <memory>

#include "component/object/com_object.h"
#include "gui/app/app_visuals.h"
#include "gui/bridge/status_listener.h"
#include "gui/fonts/interface_fonts.h"
#include "gui/main/core_access.h"
#include "gui/main/gui_main_host.h"
#include "gui/main/gui_main_object.h"
#include "gui/packages/interface_cache.h"
#include "gui/packages/interface_enumerator.h"
#include "gui/script_functions/gui_script_services.h"
#include "gui/windows/window_manager.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/app_window_list.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/language_service.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {

// Console levels.
enum ConsoleLevel : int32_t { kLogInfo = 1, kLogProgress = 2, kLogNotice = 3, kLogError = 7 };

class GuiApplication final
    : public ComObject<GuiApplication, Face<MGuiApplication>,
                       Face<MAppWindowList, kIID_MAppWindowList>, Face<MAppNotification>>,
      private GuiMainHost {
 public:
  // The module keeps the one object; Release never deletes it.
  GuiApplication();
  ~GuiApplication() override;

  int32_t Launch(const TArray<TString>* tokens, uintptr_t parent,
                 const char16_t* embedding) override;
  int32_t Run() override;
  int32_t Shutdown() override;

  int32_t GetOpenWindows(TArray<MWindowElement*>* out) override;

  int32_t Notify(const AppNotice& notice) override;
  int32_t Reserved1() override;
  int32_t Reserved2() override;

  // Null outside a launch.
  GuiMainObject* GuiMain() const { return guiMain_.Get(); }
  TString GetExecutableFolder() const { return folder_; }
  void QuitApplication(int32_t code);
  // Sets the current languages (most wanted first) and stores them; false without a language
  // service or a text domain.
  bool SetLanguages(const TArray<TString>& languages);
  bool IsLaunched() const { return app_ != nullptr; }
  // The GUI layer's application whose loop runs the windows; null outside a launch.
  MOmbrixApp* GuiApp() const { return app_.Get(); }
  // Null outside a launch.
  InterfaceFonts* Fonts() const { return fonts_.get(); }
  // Null outside a launch.
  StatusListener* Bridge() const { return bridge_.get(); }
  WindowManager* Windows() const { return windows_.get(); }
  InterfaceEnumerator* Interfaces() const { return enumerator_.get(); }
  MTextDomain* TextDomain() const { return textDomain_.Get(); }
  // The visual control object; null outside a launch or when the visuals did not start.
  MVisualControl* VisualControlObject() const { return visuals_.Control(); }

 private:
  bool GuiStartup(const TArray<TString>& tokens);
  bool LoadSettings();
  bool LoadLanguage();
  void RunInitScript();
  void ShowFailure();
  void Teardown();
  // Serves the loop until the visual windows asked to close have left their groups.
  void WaitForVisualWindowsToClose();
  void Log(int32_t level, const TString& text);
  // What the package code takes from the application: its log, language, fonts and folder.
  PackageServices MakePackageServices();
  // The display font and the current language, for reading interface documents.
  LoadContext DocumentContext();

  // GuiMainHost
  TString ExecutableFolder() override { return folder_; }
  MScriptEngine* ScriptEngine() override;
  int32_t InstallPackage(const TString& path) override;
  int32_t LoadVisual(const TString& path) override;
  int32_t StepVisual(bool previous) override;
  int32_t OpenFilesDialog() override;
  int32_t MinimizeAllWindows() override;
  int32_t ShellOpen(const TString& target) override;
  MWindowElement* OpenInterfaceWindow(const TString& packagePath, const TString& documentName,
                                      const TString& windowName) override;

  RefPtr<MOmbrixApp> app_;
  TString folder_ = u".";
  RefPtr<MConsole> console_;
  RefPtr<MPreferenceStore> guiPrefs_;
  RefPtr<MPreferenceStore> brintPrefs_;
  RefPtr<MLanguageService> languages_;
  RefPtr<MTextDomain> textDomain_;
  RefPtr<MScriptEngine> engine_;
  std::unique_ptr<InterfaceFonts> fonts_;
  std::unique_ptr<WindowManager> windows_;
  std::unique_ptr<StatusListener> bridge_;
  RefPtr<GuiMainObject> guiMain_;
  // The GUI main object while it hears of interface installs.
  std::atomic<GuiMainObject*> listening_{nullptr};
  std::unique_ptr<InterfaceEnumerator> enumerator_;
  std::unique_ptr<InterfaceCache> cache_;
  std::unique_ptr<GuiScriptServices> scriptServices_;
  AppVisuals visuals_;
};

// The "display_state" seed: the menu window class and the three bars.
TString DefaultDisplayState();

}  // namespace vk2::gui
