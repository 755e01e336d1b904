#include "gui/window_base/window_classes.h"

#include "component/module/runtime_loader.h"
#include "gui/border/border_window.h"
#include "gui/console_window/console_window.h"
#include "gui/display/display_window.h"
#include "gui/equalizer_window/equalizer_window.h"
#include "gui/fonts/interface_fonts.h"
#include "gui/interface_window/interface_window.h"
#include "gui/main/core_access.h"
#include "gui/module/gui_module.h"
#include "gui/online_window/online_window.h"
#include "gui/playlist_view/playlist_window.h"
#include "gui/settings_window/settings_window.h"
#include "gui/status_bar/status_bar_window.h"
#include "gui/top_menu/top_menu_sources.h"
#include "gui/top_menu/top_menu_window.h"
#include "gui/viewer_window/viewer_window.h"
#include "gui/window_base/element_type.h"
#include "interfaces/runtime/language_service.h"
#include "interfaces/runtime/preference_store.h"

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

MFont* DisplayFontOrNull() {
  GuiApplication* application = TheApplication();
  InterfaceFonts* fonts = application ? application->Fonts() : nullptr;
  return fonts ? fonts->DisplayFont() : nullptr;
}

// The pages a display shows when no state record names them.
TString DisplayStatePreference() {
  RefPtr<MPreferenceStore> prefs =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  TString text;
  if (!prefs || prefs->OpenSection(u"velkora/gui/brint", 1) < 0 ||
      prefs->GetString(u"display_state", &text) < 0) {
    return TString();
  }
  return text;
}

// The media core's playlists and players, held by each view that asks.
PlaylistSources RuntimePlaylistSources() {
  auto core = std::make_shared<RuntimeCoreAccess>();
  return PlaylistSources{[core](const TString& name) { return core->FindPlaylist(name); },
                         [core] { return core->FindPlayer(TString()); }};
}

RefPtr<InterfaceWindow> AssembleInterfaceWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<InterfaceWindow>(std::move(base), GuiMainObjectOrNull(),
                                         DisplayFontOrNull());
}
RefPtr<DisplayWindow> AssembleDisplayWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<DisplayWindow>(std::move(base), &DisplayStatePreference);
}
RefPtr<EqualizerWindow> AssembleEqualizerWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<EqualizerWindow>(std::move(base));
}
RefPtr<PlaylistWindow> AssemblePlaylistWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<PlaylistWindow>(std::move(base), RuntimePlaylistSources());
}
RefPtr<BorderWindow> AssembleBorderWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<BorderWindow>(std::move(base));
}
RefPtr<StatusBarWindow> AssembleStatusBarWindow(RefPtr<MBaseObject> base) {
  return AssembleOnBase<StatusBarWindow>(std::move(base), SystemClock());
}

void BuildRegistryTree(PreferenceTree* tree) {
  tree->Build();
}

}  // namespace

int32_t CreateInterfaceWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<InterfaceWindow, &AssembleInterfaceWindow>(iid, out, outer);
}

int32_t CreateDisplayWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<DisplayWindow, &AssembleDisplayWindow>(iid, out, outer);
}

int32_t CreateEqualizerWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<EqualizerWindow, &AssembleEqualizerWindow>(iid, out, outer);
}

int32_t CreatePlaylistWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<PlaylistWindow, &AssemblePlaylistWindow>(iid, out, outer);
}

int32_t CreateBorderWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<BorderWindow, &AssembleBorderWindow>(iid, out, outer);
}

int32_t CreateStatusBarWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<StatusBarWindow, &AssembleStatusBarWindow>(iid, out, outer);
}

int32_t CreateSettingsWindowObject(const Guid& iid, void** out, MUnknown* outer) {
  return CreateModuleWindowAs<SettingsWindow>(iid, out, outer, &BuildRegistryTree,
                                              &MakeRuntimePaneProvider);
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
