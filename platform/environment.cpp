#include "platform/environment.h"

#include <cstdlib>
#include <mutex>

namespace vk2 {
namespace {

std::mutex gEnvironmentMutex;

bool ValidName(const std::string& name) {
  return !name.empty() && name.find('=') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

}  // namespace

std::optional<std::string> GetEnv(const std::string& name) {
  if (!ValidName(name)) return std::nullopt;
  std::lock_guard<std::mutex> guard(gEnvironmentMutex);
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

bool SetEnv(const std::string& name, const std::string& value) {
  if (!ValidName(name) || value.find('\0') != std::string::npos) return false;
  std::lock_guard<std::mutex> guard(gEnvironmentMutex);
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool UnsetEnv(const std::string& name) {
  if (!ValidName(name)) return false;
  std::lock_guard<std::mutex> guard(gEnvironmentMutex);
  return unsetenv(name.c_str()) == 0;
}

}  // namespace vk2
