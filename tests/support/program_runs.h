// Programs of our own that a test starts as a user's shell would: from a work folder, each
// with its stdout and stderr kept in files, waited for with a time limit, and killed at the end
// of the test when still running.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vk2::test {

// Polls `done` until it answers true or `limitMs` pass; answers whether it did.
template <class Predicate>
bool WaitUntil(int limitMs, Predicate done, int pollMs = 50) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
  }
  return true;
}

struct ProgramRun {
  pid_t pid = -1;
  std::string out, err;  // files holding its stdout and stderr
};

// True for a wait status of a normal exit with 0.
bool ExitedWithZero(const std::optional<int>& status);

class ProgramRuns {
 public:
  // Output files go to `outputFolder`; programs start in `workFolder`.
  ProgramRuns(std::string outputFolder, std::string workFolder);
  // Kills and reaps every program still running.
  ~ProgramRuns();
  ProgramRuns(const ProgramRuns&) = delete;
  ProgramRuns& operator=(const ProgramRuns&) = delete;

  // Starts `program` with `args` in the current environment; pid stays -1 when it cannot start.
  ProgramRun Start(const std::string& program, const std::vector<std::string>& args);
  // The wait status, or nothing when the program has not ended within `limitMs`.
  std::optional<int> WaitExit(const ProgramRun& run, int limitMs);
  // How many programs were started so far.
  size_t Count() const { return started_.size(); }

 private:
  std::string outputFolder_, workFolder_;
  std::vector<ProgramRun> started_;
};

}  // namespace vk2::test
