// What the preference tests share: a store on a section, and a body run in a child process
// with a runtime of its own.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {

inline RefPtr<MPreferenceStore> NewStore(const char16_t* section = nullptr) {
  auto store = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (store && section && store->OpenSection(section, 1) != 0) return nullptr;
  return store;
}

// Starts `body` in a child process with its own runtime; the child's id. It exits with
// status 0 when `body` returned true.
template <class F>
pid_t StartChildProcess(F body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int status = 1;
    {
      RuntimeSession session;
      if (session.Bound() && body()) status = 0;
    }
    ::_exit(status);
  }
  return pid;
}

// True when the child ended with status 0.
inline bool ChildSucceeded(pid_t pid) {
  int status = 0;
  if (pid <= 0 || ::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <class F>
bool InChildProcess(F body) {
  return ChildSucceeded(StartChildProcess(body));
}

}  // namespace vk2::test
