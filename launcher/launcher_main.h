// The program's start: one instance, hand-over, runtime binding and the application's
// Launch, Run and Shutdown.
#pragma once

namespace vk2::launcher {

// Always 0: failures are shown, not returned.
int LauncherMain(int argc, const char* const* argv);

}  // namespace vk2::launcher
