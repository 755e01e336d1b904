// The process environment. Every access goes through one lock, since getenv and setenv are
// not safe to run at the same time.
#pragma once

#include <optional>
#include <string>

namespace vk2 {

// The value, or nothing when the variable is unset (an empty value is a value).
std::optional<std::string> GetEnv(const std::string& name);
// False for a name that is empty or holds '=' or NUL, or when the system refuses.
bool SetEnv(const std::string& name, const std::string& value);
bool UnsetEnv(const std::string& name);

}  // namespace vk2
