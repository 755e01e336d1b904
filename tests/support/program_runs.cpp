#include "tests/support/program_runs.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <utility>

extern char** environ;

namespace vk2::test {

bool ExitedWithZero(const std::optional<int>& status) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

ProgramRuns::ProgramRuns(std::string outputFolder, std::string workFolder)
    : outputFolder_(std::move(outputFolder)), workFolder_(std::move(workFolder)) {}

ProgramRuns::~ProgramRuns() {
  for (const ProgramRun& run : started_) {
    if (run.pid > 0 && ::kill(run.pid, 0) == 0) {
      ::kill(run.pid, SIGKILL);
      ::waitpid(run.pid, nullptr, 0);
    }
  }
}

ProgramRun ProgramRuns::Start(const std::string& program, const std::vector<std::string>& args) {
  ProgramRun run;
  const std::string n = std::to_string(started_.size());
  run.out = outputFolder_ + "/out" + n;
  run.err = outputFolder_ + "/err" + n;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, run.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, run.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addchdir_np(&actions, workFolder_.c_str());
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  if (posix_spawn(&run.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    run.pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  started_.push_back(run);
  return run;
}

std::optional<int> ProgramRuns::WaitExit(const ProgramRun& run, int limitMs) {
  std::optional<int> status;
  if (run.pid <= 0) return status;
  WaitUntil(
      limitMs,
      [&] {
        int s = 0;
        if (::waitpid(run.pid, &s, WNOHANG) == run.pid) status = s;
        return status.has_value();
      },
      20);
  return status;
}

}  // namespace vk2::test
