#include "gui/module/class_table.h"

#include <vector>

#include "gui/module/gui_module.h"
#include "gui/module/prefs_panes.h"
#include "gui/window_base/window_classes.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

inline constexpr char16_t kLanguagePrefs[] = u"languagePrefs";
inline constexpr char16_t kPlaylistPrefs[] = u"playlistPrefs";
inline constexpr char16_t kFileTypesPrefs[] = u"fileTypesPrefs";
inline constexpr char16_t kNetworkPrefs[] = u"networkPrefs";
inline constexpr char16_t kMiscPrefs[] = u"miscPrefs";
inline constexpr char16_t kAudioOutPrefs[] = u"audioOutPrefs";
inline constexpr char16_t kVisualPrefs[] = u"visualPrefs";
inline constexpr char16_t kNoSettings[] = u"noSettings";

// In registration order: the application class, the named windows (class objects answering
// kIID_MWindowClassFactory; "playlist" is registered without one), the window-element types
// (answering kIID_MWidgetType) and the preference panes.
const ModuleClass kClasses[] = {
    {kGuiApplicationClass, u"Velkora2", &CreateApplicationObject},
    {kMenuWindowClass, nullptr, &CreateTopMenuWindowObject},
    {kConsoleWindowClass, nullptr, &CreateConsoleWindowObject},
    {kPlaylistWindowClass, nullptr, nullptr},
    {kSettingsWindowClass, nullptr, &CreateSettingsWindowObject},
    {kOnlineWindowClass, nullptr, &CreateOnlineWindowObject},
    {kViewerWindowClass, nullptr, &CreateViewerWindowObject},
    {kFontElementClass, nullptr, &CreateInterfaceWindowType},
    {kDisplayElementClass, nullptr, &CreateDisplayWindowType},
    {kVisualWindowElementClass, nullptr, &CreateVisualWindowType},
    {kEqualizerElementClass, nullptr, &CreateEqualizerWindowType},
    {kPlaylistElementClass, nullptr, &CreatePlaylistWindowType},
    {kBorderElementClass, nullptr, &CreateBorderWindowType},
    {kStatusBarElementClass, nullptr, &CreateStatusBarWindowType},
    {kLanguagePrefsPane, nullptr, &CreateNamedPane<kLanguagePrefs>},
    {kPlaylistPrefsPane, nullptr, &CreateNamedPane<kPlaylistPrefs>},
    {kFileTypesPrefsPane, nullptr, &CreateNamedPane<kFileTypesPrefs>},
    {kNetworkPrefsPane, nullptr, &CreateNamedPane<kNetworkPrefs>},
    {kMiscPrefsPane, nullptr, &CreateNamedPane<kMiscPrefs>},
    {kAudioOutPrefsPane, nullptr, &CreateNamedPane<kAudioOutPrefs>},
    {kVisualPrefsPane, nullptr, &CreateNamedPane<kVisualPrefs>},
    {kNoSettingsPane, nullptr, &CreateNamedPane<kNoSettings>},
};

}  // namespace

std::span<const ModuleClass> GuiClasses() {
  return kClasses;
}

std::span<const ModuleCategoryMember> GuiCategoryMembers() {
  // The named windows scripts open with DisplayWindow, each joining the window category by its
  // name.
  static const std::vector<ModuleCategoryMember> members = {
      {kCategoryGuiWindows, kMenuWindowClass, u"menu"},
      {kCategoryGuiWindows, kConsoleWindowClass, u"console"},
      {kCategoryGuiWindows, kPlaylistWindowClass, u"playlist"},
      {kCategoryGuiWindows, kSettingsWindowClass, u"settings"},
      {kCategoryGuiWindows, kOnlineWindowClass, u"onlinewindow"},
      {kCategoryGuiWindows, kViewerWindowClass, u"viewer"},
  };
  return members;
}

}  // namespace vk2::gui
