// A private world for tests that load modules through the runtime: a temporary folder holding
// a copy of the runtime and the given modules (which the runtime registers from its own
// folder), private per-user folders, and the environment pointing there until it goes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/environment.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {

class ModuleSandbox {
 public:
  // `files`: the runtime's shared object first, then the modules.
  explicit ModuleSandbox(const std::vector<std::string>& files) {
    for (const char* sub : {"/lib", "/config", "/state", "/cache"}) {
      std::filesystem::create_directory(dir_.Path() + sub);
    }
    for (const std::string& file : files) {
      const std::filesystem::path from(file);
      std::filesystem::copy_file(from, LibDir() + "/" + from.filename().string());
    }
    Set("XDG_CONFIG_HOME", dir_.Path() + "/config");
    Set("XDG_STATE_HOME", dir_.Path() + "/state");
    Set("XDG_CACHE_HOME", dir_.Path() + "/cache");
    Set("ORU_SHARED_PATH", LibDir() + "/" + std::filesystem::path(files.at(0)).filename().string());
  }
  ~ModuleSandbox() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        SetEnv(it->first, *it->second);
      } else {
        UnsetEnv(it->first);
      }
    }
  }
  ModuleSandbox(const ModuleSandbox&) = delete;
  ModuleSandbox& operator=(const ModuleSandbox&) = delete;

  std::string LibDir() const { return dir_.Path() + "/lib"; }
  // Sets a variable for the sandbox's lifetime.
  void Set(const std::string& name, const std::string& value) {
    saved_.emplace_back(name, GetEnv(name));
    SetEnv(name, value);
  }

 private:
  TempFolder dir_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace vk2::test
