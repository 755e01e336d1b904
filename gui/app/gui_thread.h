// Window code runs on the GUI layer's loop thread: this runs a task there and waits for it.
#pragma once

#include <functional>

#include "interfaces/gui/app.h"

namespace vk2::gui {

// Runs `task` on the loop thread of `app` and returns once it ran; at once on that thread, and
// here when no loop serves (not launched, or ended).
void RunOnGuiThread(MOmbrixApp* app, const std::function<void()>& task);
// Runs `task` on the loop thread later, without waiting (dropped when no loop serves).
void PostToGuiThread(MOmbrixApp* app, std::function<void()> task);

}  // namespace vk2::gui
