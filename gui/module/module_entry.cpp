// The user interface module vk2_gui: the application class, whose class object hands out the
// application object and the GUI main object, and the classes of class_table.cpp.
#include "component/module/module_glue.h"
#include "gui/module/class_table.h"
#include "gui/module/gui_module.h"

namespace vk2 {
namespace {

bool OnFirstAttach() {
  return gui::CreateApplication();
}

void OnLastDetach() {
  gui::DestroyApplication();
}

const ModuleDefinition kModule{gui::GuiClasses(), gui::GuiCategoryMembers(), &OnFirstAttach,
                               &OnLastDetach};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
