#include "visual/plugin/crash_guard.h"

#include <csetjmp>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vk2 {
namespace {

constexpr int kGuardedSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr size_t kAltStackBytes = 64 * 1024;

struct GuardFrame {
  sigjmp_buf env;
  GuardFrame* outer;
};

thread_local GuardFrame* tCurrentFrame = nullptr;

// The alternate stack of a thread that had none: a fault from stack overflow still finds a
// stack to run the handler on. Freed when the thread ends.
struct AltStack {
  void* memory = nullptr;
  bool ready = false;

  void Ensure() {
    if (ready) return;
    ready = true;
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
    memory = std::malloc(kAltStackBytes);
    if (!memory) return;
    stack_t mine{};
    mine.ss_sp = memory;
    mine.ss_size = kAltStackBytes;
    if (sigaltstack(&mine, nullptr) != 0) {
      std::free(memory);
      memory = nullptr;
    }
  }
  ~AltStack() {
    if (!memory) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
    std::free(memory);
  }
};

thread_local AltStack tAltStack;

struct sigaction gPrevious[sizeof kGuardedSignals / sizeof kGuardedSignals[0]];
std::once_flag gInstalled;

size_t SignalIndex(int sig) {
  for (size_t i = 0; i < sizeof kGuardedSignals / sizeof kGuardedSignals[0]; ++i) {
    if (kGuardedSignals[i] == sig) return i;
  }
  return 0;
}

void OnFatalSignal(int sig, siginfo_t* info, void* context) {
  if (GuardFrame* frame = tCurrentFrame) siglongjmp(frame->env, sig);
  // Not ours: hand it to the handler that was there before, or let the default action run
  // when the faulting instruction executes again.
  const struct sigaction& previous = gPrevious[SignalIndex(sig)];
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction) {
      previous.sa_sigaction(sig, info, context);
      return;
    }
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(sig);
    return;
  }
  signal(sig, SIG_DFL);
}

void Install() {
  for (size_t i = 0; i < sizeof kGuardedSignals / sizeof kGuardedSignals[0]; ++i) {
    struct sigaction action {};
    action.sa_sigaction = &OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(kGuardedSignals[i], &action, &gPrevious[i]);
  }
}

}  // namespace

GuardResult RunGuarded(void (*call)(void*), void* context) {
  std::call_once(gInstalled, &Install);
  tAltStack.Ensure();
  GuardFrame frame;
  frame.outer = tCurrentFrame;
  volatile GuardResult result;
  const int sig = sigsetjmp(frame.env, 1);
  if (sig == 0) {
    tCurrentFrame = &frame;
    try {
      call(context);
    } catch (...) {
      result.outcome = GuardOutcome::kThrew;
    }
  } else {
    result.outcome = GuardOutcome::kCrashed;
    result.signal = sig;
  }
  tCurrentFrame = frame.outer;
  return GuardResult{result.outcome, result.signal};
}

}  // namespace vk2
