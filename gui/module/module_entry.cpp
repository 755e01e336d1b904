// The user interface module vk2_gui: the application class, whose class object hands out the
// application object and the GUI main object.
#include "component/module/module_glue.h"
#include "gui/module/gui_module.h"
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
};
const ModuleDefinition kModule{kClasses, {}, &OnFirstAttach, &OnLastDetach};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
