// Where a display page's window goes before its first layout pass: a border page is placed again
// from its definition through the window manager; any other page is anchored in the display with
// an empty rectangle, from which the layout moves it to its strip.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2 {
class MWindowElement;
}

namespace vk2::gui {

class WindowManager;

// `name`: the name the page is shown by. False when the page could not be placed.
bool PlacePageWindow(WindowManager* windows, MWindowElement* page, const TString& name,
                     MWindowElement* display);

}  // namespace vk2::gui
