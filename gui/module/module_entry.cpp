// The user interface module vk2_gui: the application class, whose class object hands out the
// application object and the GUI main object.
#include "component/module/module_glue.h"
#include "gui/module/gui_module.h"
#include "gui/window_base/window_classes.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

bool OnFirstAttach() {
  return gui::CreateApplication();
}

void OnLastDetach() {
  gui::DestroyApplication();
}

const ModuleClass kClasses[] = {
    {kGuiApplicationClass, u"Velkora2", &gui::CreateApplicationObject},
    // Window classes.
    {kMenuWindowClass, nullptr, &gui::CreateTopMenuWindowObject},
    {kConsoleWindowClass, nullptr, &gui::CreateConsoleWindowObject},
    {kOnlineWindowClass, nullptr, &gui::CreateOnlineWindowObject},
    {kViewerWindowClass, nullptr, &gui::CreateViewerWindowObject},
    {kEqualizerElementClass, nullptr, &gui::CreateEqualizerWindowObject},
};
// The named windows scripts open with DisplayWindow.
const ModuleCategoryMember kCategoryMembers[] = {
    {kCategoryGuiWindows, kMenuWindowClass, u"menu"},
    {kCategoryGuiWindows, kConsoleWindowClass, u"console"},
    {kCategoryGuiWindows, kOnlineWindowClass, u"onlinewindow"},
    {kCategoryGuiWindows, kViewerWindowClass, u"viewer"},
};
const ModuleDefinition kModule{kClasses, kCategoryMembers, &OnFirstAttach, &OnLastDetach};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
