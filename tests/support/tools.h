// Running the programs the tests use (encoders, reference decoders, parec, pactl): in the
// foreground for a status, or in the background until the test stops them.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace vk2::test {

// True when `tool` is found on PATH.
bool HaveTool(const std::string& tool);
// Runs a program (no shell) and answers its exit status; stdout and stderr go to /dev/null
// unless `stdoutPath` names a file for stdout. `usage`, when given, receives the resources the
// program used (processor time, context switches).
int Run(const std::vector<std::string>& args, const std::string& stdoutPath = {},
        struct rusage* usage = nullptr);
// Runs `args[0]` with the arguments, output discarded; true when it exits with 0.
inline bool RunTool(const std::vector<std::string>& args) {
  return Run(args) == 0;
}
// Starts a program in the background (stdout to `stdoutPath` when given); -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::string& stdoutPath = {});
// Ends a program from Spawn (SIGINT, then SIGKILL after a grace period) and reaps it.
void StopSpawned(pid_t pid);

}  // namespace vk2::test
