// Peak memory of a piece of work, measured in a child process: what the test process already
// holds, and what its allocator keeps after a free, cannot blur the figure.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>

namespace vk2::test {

// Runs `work` in a forked child and answers how far the child's peak resident memory rose above
// what it held when it started, in bytes; -1 when the child could not run or did not finish.
inline int64_t PeakMemoryGrowth(const std::function<void()>& work) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return -1;
  }
  if (pid == 0) {
    ::close(pipeEnds[0]);
    // A fresh child's peak starts at what it inherited, so the difference is the work's own.
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    work();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const int64_t growth = (int64_t{after.ru_maxrss} - before.ru_maxrss) * 1024;
    const bool sent = ::write(pipeEnds[1], &growth, sizeof growth) == sizeof growth;
    ::_exit(sent ? 0 : 1);
  }
  ::close(pipeEnds[1]);
  int64_t growth = -1;
  const bool received = ::read(pipeEnds[0], &growth, sizeof growth) == sizeof growth;
  ::close(pipeEnds[0]);
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited != pid || !received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return growth;
}

}  // namespace vk2::test
