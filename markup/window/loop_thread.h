// Reaching a window from threads other than its GUI loop. The loop owns every window: a script
// method or event that arrives on another thread is handed to the loop, never run in place.
#pragma once

#include <functional>

#include "interfaces/gui/window_element.h"

namespace vk2::markup {

// True when `window` belongs to a loop that runs on another thread than the caller's (the GUI
// layer answers reads there with kErrWrongState).
bool OffWindowLoop(MWindowElement* window);

// Runs `body` on the window's loop after what is already posted; the window stays referenced
// until then. False (and `body` dropped) when the loop takes no more posts.
bool PostToWindowLoop(MWindowElement* window, std::function<void()> body);

// Runs `body` on the window's loop under the interpreter lock and waits until it has run. The
// calling thread gives up the interpreter lock while it waits, so that the loop can run scripts
// (its own events, or `body`) meanwhile. False, without running `body`, when the loop takes no
// more posts.
bool RunOnWindowLoop(MWindowElement* window, const std::function<void()>& body);

}  // namespace vk2::markup
