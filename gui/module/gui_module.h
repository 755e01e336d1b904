// The module-wide application object, from the first attach to the last detach.
#pragma once

#include "gui/app/gui_application.h"

namespace vk2::gui {

// Null outside the module's attached life.
GuiApplication* TheApplication();
bool CreateApplication();
void DestroyApplication();

// What the GuiApplication class hands out for `iid`: the application's main or window-list
// face, or the GUI main object while the application is launched (-3 otherwise).
int32_t CreateApplicationObject(const Guid& iid, void** out, MUnknown* outer);

}  // namespace vk2::gui
