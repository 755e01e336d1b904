// Environment variables a test changes: saved and unset at the start, restored at the end.
// Header-only, so that only tests which link the platform library depend on it.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>

#include "platform/environment.h"

namespace vk2::test {

class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      saved_[name] = GetEnv(name);
      UnsetEnv(name);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        SetEnv(name, *value);
      } else {
        UnsetEnv(name);
      }
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace vk2::test
