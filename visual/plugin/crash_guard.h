// Runs plug-in code so that its faults cannot take the player down: SIGSEGV, SIGBUS, SIGFPE and
// SIGILL raised inside the call are caught on an alternate signal stack and unwound to the call
// site through a per-thread jump buffer; C++ exceptions are caught as well. Faults outside a
// guarded call go on to whatever handler was there before.
//
// Unwinding by jump skips the plug-in's own cleanup, so a crashed plug-in is never trusted
// again: its caller reports it and takes it out of use.
#pragma once

#include <utility>

namespace vk2 {

enum class GuardOutcome {
  kReturned,
  kCrashed,  // a fatal signal
  kThrew,    // a C++ exception
};

struct GuardResult {
  GuardOutcome outcome = GuardOutcome::kReturned;
  int signal = 0;  // for kCrashed

  bool Failed() const { return outcome != GuardOutcome::kReturned; }
};

GuardResult RunGuarded(void (*call)(void*), void* context);

template <class F>
GuardResult Guarded(F&& call) {
  return RunGuarded([](void* c) { (*static_cast<std::remove_reference_t<F>*>(c))(); }, &call);
}

}  // namespace vk2
