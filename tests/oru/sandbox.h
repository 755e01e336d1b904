// A private world for one test: per-user folders, registry and a copy of the runtime in a
// temporary folder, pointed at through the environment.
#pragma once

#include <string>
#include <vector>

#include "tests/support/files.h"

namespace vk2::test {

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& Root() const { return root_; }
  // Holds the copy of the runtime; modules copied here register themselves.
  std::string LibDir() const { return root_ + "/lib"; }
  std::string RuntimePath() const { return LibDir() + "/oru.so"; }
  std::string RegistryPath() const { return root_ + "/config/velkora2/registry.xml"; }
  std::string PrefsPath() const { return root_ + "/config/velkora2/prefs.xml"; }
  std::string ConsoleLogPath() const { return root_ + "/state/velkora2/console.log"; }

  // Copies a built test module ("vk2test_alpha.so") into `folder` (made when missing).
  std::string CopyModule(const std::string& name, const std::string& folder) const;
  std::string MakeFolder(const std::string& relative) const;
  std::string WriteFile(const std::string& relative, const std::string& contents) const;

 private:
  std::string root_;
  std::vector<std::pair<std::string, std::string>> savedEnv_;
};

std::string BuiltModule(const std::string& name);
bool FileExists(const std::string& path);

// Runs a program with the current environment; the exit status, or -1. Its stderr goes to
// `errors` when given.
int RunProgram(const std::vector<std::string>& argv, std::string* errors = nullptr,
               const std::string& folder = "");

}  // namespace vk2::test

namespace vk2::test {

// The runtime loaded and bound for one scope, as a program does it.
class RuntimeSession {
 public:
  RuntimeSession();
  ~RuntimeSession();
  bool Bound() const { return bound_; }

 private:
  bool bound_;
};

}  // namespace vk2::test
