// The user interface module's classes: what it registers with the runtime, the members of the
// window category, and the function that makes each class's objects. Windows and window
// elements join the tables in class_table.cpp with one line each.
#pragma once

#include <span>

#include "component/module/module_glue.h"

namespace vk2::gui {

std::span<const ModuleClass> GuiClasses();
std::span<const ModuleCategoryMember> GuiCategoryMembers();

}  // namespace vk2::gui
