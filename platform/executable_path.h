// Where the running program lies, from /proc/self/exe (argv[0] can be anything).
#pragma once

#include <string>

namespace vk2 {

// The absolute path of the program's file; empty if the system cannot tell.
std::string ExecutablePath();
// Its folder, without a trailing slash ("/" for a program in the root).
std::string ExecutableFolder();

}  // namespace vk2
