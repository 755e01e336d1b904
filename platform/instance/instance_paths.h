// Where the single-instance lock and the instance's sockets lie: all in the user's private
// runtime folder ($XDG_RUNTIME_DIR/velkora2, mode 0700), so no other user can reach them.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace vk2::instance {

// The private runtime folder, created when missing; empty with `error` set when it cannot be
// had or is not private to the user.
std::string RunFolder(std::error_code* error = nullptr);

// An endpoint name becomes part of a file name: not empty, no '/', no NUL, not "." or "..".
bool IsValidEndpointName(std::string_view name);

// <run>/<name>.lock for a named mutex.
std::string MutexPath(std::string_view name, std::error_code* error = nullptr);
// <run>/<class>.<title>.sock for a hidden window.
std::string WindowSocketPath(std::string_view className, std::string_view title,
                             std::error_code* error = nullptr);
// <run>/dde/<service>.sock for a DDE service (the dde folder private too).
std::string DdeSocketPath(std::string_view service, std::error_code* error = nullptr);

}  // namespace vk2::instance
