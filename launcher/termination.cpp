#include "launcher/termination.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

namespace vk2::launcher {
namespace {

// The handler only writes the signal's number to a pipe; the watch thread does the rest. Only
// handlers are installed (no signal mask is changed), so programs the player starts inherit
// the usual signal handling.
std::atomic<int> g_writeFd{-1};
std::atomic<int> g_signalsSeen{0};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int signal) {
  const int saved = errno;
  if (g_signalsSeen.fetch_add(1) > 0) {
    // Asked again while quitting: end now, as the default action would.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
  }
  const int fd = g_writeFd.load();
  const char byte = static_cast<char>(signal);
  if (fd >= 0) (void)!::write(fd, &byte, 1);
  errno = saved;
}

instance::UniqueFd g_readEnd;
instance::UniqueFd g_writeEnd;

}  // namespace

bool TerminationWatch::Start(std::function<bool()> quit) {
  if (thread_.joinable()) return false;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  g_readEnd = instance::UniqueFd(fds[0]);
  g_writeEnd = instance::UniqueFd(fds[1]);
  g_writeFd.store(fds[1]);
  g_signalsSeen.store(0);
  quit_ = std::move(quit);
  try {
    thread_ = std::thread(&TerminationWatch::Watch, this);
  } catch (const std::system_error&) {
    g_writeFd.store(-1);
    return false;
  }
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int s : kSignals)
    ::sigaction(s, &action, nullptr);
  return true;
}

void TerminationWatch::Stop() {
  if (!thread_.joinable()) return;
  for (int s : kSignals)
    ::signal(s, SIG_DFL);
  // A zero byte is no signal: it tells the thread to end.
  const char stop = 0;
  g_writeFd.store(-1);
  (void)!::write(g_writeEnd.Get(), &stop, 1);
  thread_.join();
  g_readEnd.Reset();
  g_writeEnd.Reset();
}

void TerminationWatch::Watch() {
  for (;;) {
    pollfd p{g_readEnd.Get(), POLLIN, 0};
    if (::poll(&p, 1, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    char byte = 0;
    while (::read(g_readEnd.Get(), &byte, 1) == 1) {
      if (byte == 0) return;
      if (!quit_()) {
        ::signal(byte, SIG_DFL);
        ::raise(byte);
      }
    }
  }
}

}  // namespace vk2::launcher
