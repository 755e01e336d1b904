#include "tests/support/tools.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace vk2::test {

bool HaveTool(const std::string& tool) {
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "/usr/bin:/bin";
  while (!rest.empty()) {
    const size_t cut = rest.find(':');
    const std::string dir = rest.substr(0, cut);
    if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
    rest = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
  }
  return false;
}

namespace {
pid_t Start(const std::vector<std::string>& args, const std::string& stdoutPath) {
  std::vector<char*> argv;
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1,
                                   stdoutPath.empty() ? "/dev/null" : stdoutPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}
}  // namespace

int Run(const std::vector<std::string>& args, const std::string& stdoutPath, struct rusage* usage) {
  const pid_t pid = Start(args, stdoutPath);
  if (pid < 0) return -1;
  int status = 0;
  struct rusage ignored {};
  while (wait4(pid, &status, 0, usage ? usage : &ignored) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t Spawn(const std::vector<std::string>& args, const std::string& stdoutPath) {
  return Start(args, stdoutPath);
}

void StopSpawned(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGINT);
  for (int i = 0; i < 200; ++i) {
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  int status;
  waitpid(pid, &status, 0);
}

}  // namespace vk2::test
