// Points XDG_RUNTIME_DIR at a fresh private folder for one test and restores it afterwards, so
// that the instance sockets and lock of a test never meet those of another test or a player.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/environment.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {

class PrivateRunFolder {
 public:
  PrivateRunFolder() : saved_(GetEnv("XDG_RUNTIME_DIR")) {
    ::chmod(tmp_.Path().c_str(), 0700);
    SetEnv("XDG_RUNTIME_DIR", tmp_.Path());
  }
  ~PrivateRunFolder() {
    if (saved_) {
      SetEnv("XDG_RUNTIME_DIR", *saved_);
    } else {
      UnsetEnv("XDG_RUNTIME_DIR");
    }
  }
  PrivateRunFolder(const PrivateRunFolder&) = delete;
  PrivateRunFolder& operator=(const PrivateRunFolder&) = delete;

  const std::string& Path() const { return tmp_.Path(); }
  std::string RunFolder() const { return tmp_.Path() + "/velkora2"; }

 private:
  TempFolder tmp_;
  std::optional<std::string> saved_;
};

}  // namespace vk2::test
