#include "tests/support/private_display.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace vk2::test {

PrivateDisplay::PrivateDisplay() {
  int fds[2];
  if (::pipe(fds) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  // Xvfb writes its display number once it accepts clients. The pipe stays open while the
  // server runs: a server that writes to a closed pipe gives up.
  readEnd_ = fds[0];
  pollfd wait{readEnd_, POLLIN, 0};
  char buffer[32] = {};
  if (pid_ > 0 && ::poll(&wait, 1, 20'000) == 1) {
    const ssize_t n = ::read(readEnd_, buffer, sizeof(buffer) - 1);
    if (n > 0) {
      std::string number(buffer, static_cast<size_t>(n));
      while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
        number.pop_back();
      if (!number.empty()) name_ = ":" + number;
    }
  }
  // Only a display that answers counts.
  for (int tries = 0; !name_.empty() && tries < 50; ++tries) {
    if (RunXTool(name_, "xdpyinfo", nullptr) == 0) return;
    ::usleep(100'000);
  }
  name_.clear();
}

PrivateDisplay::~PrivateDisplay() {
  if (readEnd_ >= 0) ::close(readEnd_);
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

int RunXTool(const std::string& display, const std::string& arguments, std::string* output) {
  const std::string command = "env DISPLAY=" + display + " " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[256];
  std::string text;
  while (std::fgets(buffer, sizeof(buffer), pipe))
    text += buffer;
  const int status = ::pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vk2::test
