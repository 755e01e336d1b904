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

// In registration order. The named windows (menu, console, playlist, settings, onlinewindow,
// viewer; class objects answering kIID_MWindowClassFactory) come after the application class,
// and the window-element types (answering kIID_MWidgetType) before the panes.
const ModuleClass kClasses[] = {
    {kGuiApplicationClass, u"Velkora2", &CreateApplicationObject},
    {kLanguagePrefsPane, nullptr, &CreateNamedPane<kLanguagePrefs>},
    {kPlaylistPrefsPane, nullptr, &CreateNamedPane<kPlaylistPrefs>},
    {kFileTypesPrefsPane, nullptr, &CreateNamedPane<kFileTypesPrefs>},
    {kNetworkPrefsPane, nullptr, &CreateNamedPane<kNetworkPrefs>},
    {kMiscPrefsPane, nullptr, &CreateNamedPane<kMiscPrefs>},
    {kAudioOutPrefsPane, nullptr, &CreateNamedPane<kAudioOutPrefs>},
    {kVisualPrefsPane, nullptr, &CreateNamedPane<kVisualPrefs>},
    {kNoSettingsPane, nullptr, &CreateNamedPane<kNoSettings>},
    // Window classes.
    {kMenuWindowClass, nullptr, &CreateTopMenuWindowObject},
    {kConsoleWindowClass, nullptr, &CreateConsoleWindowObject},
    {kOnlineWindowClass, nullptr, &CreateOnlineWindowObject},
    {kViewerWindowClass, nullptr, &CreateViewerWindowObject},
    {kEqualizerElementClass, nullptr, &CreateEqualizerWindowObject},
    {kVisualWindowElementClass, nullptr, &CreateVisualWindowType},
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
      {kCategoryGuiWindows, kOnlineWindowClass, u"onlinewindow"},
      {kCategoryGuiWindows, kViewerWindowClass, u"viewer"},
  };
  return members;
}

}  // namespace vk2::gui
