// A connection to the PulseAudio (or PipeWire) server on its own threaded main loop. Every wait
// on the server is bounded by a deadline, so a server that stops answering cannot hang a caller.
#pragma once

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vk2 {

// The sockets (as server strings) where this user's own server listens at its usual places:
// /run/user/<uid>/pulse and the runtime folder of the home configuration. libpulse looks only
// where XDG_RUNTIME_DIR and XDG_CONFIG_HOME lead; pointed at fresh folders (a clean profile, a
// sandbox, a test), it misses the server the user runs. Only existing sockets of this user;
// none when PULSE_SERVER names the server.
std::vector<std::string> FallbackPulseServers();

class PulseLoop {
 public:
  PulseLoop() = default;
  PulseLoop(const PulseLoop&) = delete;
  PulseLoop& operator=(const PulseLoop&) = delete;
  ~PulseLoop();

  // Starts the loop and connects (never spawning a server): to the server libpulse finds, else
  // to one of FallbackPulseServers(). False with `error` set on failure.
  bool Connect(const char* clientName, uint32_t timeoutMillis, std::string& error);
  void Disconnect();

  void Lock() { pa_threaded_mainloop_lock(loop_); }
  void Unlock() { pa_threaded_mainloop_unlock(loop_); }
  // Wakes whoever waits in WaitUntil; callbacks on the loop thread call it.
  void Signal() { pa_threaded_mainloop_signal(loop_, 0); }

  // With the lock held: waits for `done()` or until `timeoutMillis` pass. Returns done().
  template <class Pred>
  bool WaitUntil(Pred done, uint32_t timeoutMillis) {
    const pa_usec_t deadline = pa_rtclock_now() + pa_usec_t{timeoutMillis} * 1000;
    while (!done()) {
      if (pa_rtclock_now() >= deadline || !ContextAlive()) return done();
      WaitOnce(deadline);
    }
    return true;
  }
  // With the lock held: waits for the operation to finish, cancelling it on time-out; unrefs it.
  bool Complete(pa_operation* op, uint32_t timeoutMillis);

  pa_context* Context() const { return context_; }
  bool ContextAlive() const;
  std::string ErrorText() const;

  // A callback that only wakes the waiter: the userdata is the PulseLoop.
  static void SignalCallback(pa_context*, void* self);

 private:
  // `server` null: where libpulse's own search leads.
  bool ConnectTo(const char* server, const char* clientName, uint32_t timeoutMillis,
                 std::string& error);
  void WaitOnce(pa_usec_t deadline);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
};

}  // namespace vk2
