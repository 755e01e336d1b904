// An Xvfb display of the test's own, so that display tests run side by side.
#pragma once

#include <sys/types.h>

#include <string>

namespace vk2::test {

class PrivateDisplay {
 public:
  PrivateDisplay();
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;

  bool Ready() const { return !name_.empty(); }
  // ":N"
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  int readEnd_ = -1;
  std::string name_;
};

// Runs an X client command line (xdotool, ...) through the shell on `display`; its exit
// status and what it printed.
int RunXTool(const std::string& display, const std::string& arguments, std::string* output);

}  // namespace vk2::test
