// A real FTP server on loopback for tests: pyftpdlib serving a folder (anonymous, passive
// mode, SIZE and REST), started in a process of its own and stopped with the object.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "tests/platform/net/loopback_listener.h"
#include "tests/support/tools.h"

namespace vk2::test {

class FtpTestServer {
 public:
  static constexpr const char* kPython = "/usr/bin/python3";

  // Whether the server can be run here (tests skip, and say why, when not).
  static bool Available() {
    return access(kPython, X_OK) == 0 && Run({kPython, "-c", "import pyftpdlib"}) == 0;
  }

  explicit FtpTestServer(const std::string& root) {
    port_ = FreePort();
    const std::string port = std::to_string(port_);
    pid_ = fork();
    if (pid_ == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      execl(kPython, kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", port.c_str(), "-d",
            root.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; pid_ > 0 && i < 500 && !Answers(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~FtpTestServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  // True once the server accepts connections.
  bool Answers() const {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port_);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
    close(fd);
    return ok;
  }
  std::string Url(const std::string& name) const {
    return "ftp://127.0.0.1:" + std::to_string(port_) + "/" + name;
  }

 private:
  // A port nobody listens on now, for the server to take.
  static uint16_t FreePort() {
    uint16_t port = 0;
    const int fd = ListenOnLoopback(&port);
    if (fd >= 0) close(fd);
    return port;
  }

  uint16_t port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace vk2::test
