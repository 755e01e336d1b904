#include "gui/app/termination_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace vk2::gui {
namespace {

// The signal handler may only write to a pipe; the watch thread reads it.
int gSignalPipe[2] = {-1, -1};
int gStopPipe[2] = {-1, -1};
struct sigaction gPrevious {};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(gSignalPipe[1], &byte, 1);
  errno = saved;
}

void ClosePair(int (&pair)[2]) {
  for (int& fd : pair) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace

TerminationWatch::TerminationWatch(std::function<void()> onTerminate)
    : onTerminate_(std::move(onTerminate)) {
  if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  if (::pipe2(gStopPipe, O_CLOEXEC) != 0) {
    ClosePair(gSignalPipe);
    return;
  }
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  if (::sigaction(SIGTERM, &action, &gPrevious) != 0) {
    ClosePair(gSignalPipe);
    ClosePair(gStopPipe);
    return;
  }
  thread_ = std::thread([this] {
    for (;;) {
      pollfd fds[2] = {{gSignalPipe[0], POLLIN, 0}, {gStopPipe[0], POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents) return;
      char bytes[16];
      while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0)
        onTerminate_();
    }
  });
}

TerminationWatch::~TerminationWatch() {
  if (!thread_.joinable()) return;
  ::sigaction(SIGTERM, &gPrevious, nullptr);
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(gStopPipe[1], &byte, 1);
  thread_.join();
  ClosePair(gSignalPipe);
  ClosePair(gStopPipe);
}

}  // namespace vk2::gui
