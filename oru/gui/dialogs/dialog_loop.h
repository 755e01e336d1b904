// Where dialogs run: GTK is used from one thread only, the GUI loop thread when an application
// loop runs (the loop then keeps serving posts, timers and every window while a dialog is
// open), else the first thread that showed a dialog.
#pragma once

#include <cstdint>
#include <functional>

namespace vk2 {

class MOmbrixApp;

// The application whose loop thread shows the dialogs (null: the process's own). Not owned.
void SetDialogApp(MOmbrixApp* app);

// Whether dialogs may open windows on the calling thread: a display, VK2_NONINTERACTIVE unset,
// and GTK starting on this thread (once per process; a second thread is refused).
bool DialogWindowsAllowed();

// Runs `body` on the GUI loop thread and waits for it; in place without a loop.
void RunOnDialogThread(const std::function<void()>& body);

// Serves GTK (and our loop, when it runs here) until `*done` becomes nonzero.
void RunModalUntil(const int32_t* done);

}  // namespace vk2
