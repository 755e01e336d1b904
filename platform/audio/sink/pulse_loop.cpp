#include "platform/audio/sink/pulse_loop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/environment.h"

namespace vk2 {

namespace {

// A socket of this user's at `path`: someone else's socket would be handed our sound.
bool IsOwnSocket(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == geteuid();
}

std::string MachineId() {
  for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
    std::ifstream in(file);
    std::string id;
    if (in >> id && !id.empty()) return id;
  }
  return {};
}

void WakeOnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* loop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}
}  // namespace

PulseLoop::~PulseLoop() {
  Disconnect();
}

void PulseLoop::SignalCallback(pa_context*, void* self) {
  static_cast<PulseLoop*>(self)->Signal();
}

std::vector<std::string> FallbackPulseServers() {
  std::vector<std::string> servers;
  // A server the user names is the only one to use.
  if (GetEnv("PULSE_SERVER")) return servers;
  std::vector<std::string> sockets{"/run/user/" + std::to_string(geteuid()) + "/pulse/native"};
  const std::optional<std::string> home = GetEnv("HOME");
  const std::string machine = MachineId();
  if (home && !home->empty() && !machine.empty())
    sockets.push_back(*home + "/.config/pulse/" + machine + "-runtime/native");
  for (const std::string& socket : sockets) {
    if (IsOwnSocket(socket)) servers.push_back("unix:" + socket);
  }
  return servers;
}

bool PulseLoop::Connect(const char* clientName, uint32_t timeoutMillis, std::string& error) {
  if (ConnectTo(nullptr, clientName, timeoutMillis, error)) return true;
  for (const std::string& server : FallbackPulseServers()) {
    std::string ignored;
    if (ConnectTo(server.c_str(), clientName, timeoutMillis, ignored)) return true;
  }
  return false;
}

bool PulseLoop::ConnectTo(const char* server, const char* clientName, uint32_t timeoutMillis,
                          std::string& error) {
  Disconnect();
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) {
    error = "cannot create the PulseAudio main loop";
    return false;
  }
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), clientName);
  if (!context_) {
    error = "cannot create a PulseAudio context";
    Disconnect();
    return false;
  }
  pa_context_set_state_callback(context_, &PulseLoop::SignalCallback, this);
  if (pa_context_connect(context_, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(loop_) < 0) {
    error = "cannot connect to the PulseAudio server: " + ErrorText();
    Disconnect();
    return false;
  }
  Lock();
  const bool ready = WaitUntil(
      [&] {
        const pa_context_state_t s = pa_context_get_state(context_);
        return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
      },
      timeoutMillis);
  const bool ok = ready && pa_context_get_state(context_) == PA_CONTEXT_READY;
  if (!ok) error = "the PulseAudio server does not answer: " + ErrorText();
  Unlock();
  if (!ok) Disconnect();
  return ok;
}

void PulseLoop::Disconnect() {
  if (loop_) {
    Lock();
    if (context_) {
      pa_context_set_state_callback(context_, nullptr, nullptr);
      pa_context_disconnect(context_);
    }
    Unlock();
    pa_threaded_mainloop_stop(loop_);
  }
  if (context_) pa_context_unref(context_);
  context_ = nullptr;
  if (loop_) pa_threaded_mainloop_free(loop_);
  loop_ = nullptr;
}

bool PulseLoop::ContextAlive() const {
  return context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

std::string PulseLoop::ErrorText() const {
  return context_ ? pa_strerror(pa_context_errno(context_)) : "no context";
}

void PulseLoop::WaitOnce(pa_usec_t deadline) {
  // The loop wait has no time limit of its own: a timer on the loop wakes it at the deadline.
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  pa_time_event* timer = pa_context_rttime_new(context_, deadline, &WakeOnTimer, loop_);
  pa_threaded_mainloop_wait(loop_);
  if (timer) api->time_free(timer);
}

bool PulseLoop::Complete(pa_operation* op, uint32_t timeoutMillis) {
  if (!op) return false;
  pa_operation_set_state_callback(
      op, [](pa_operation*, void* self) { static_cast<PulseLoop*>(self)->Signal(); }, this);
  const bool done =
      WaitUntil([&] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; }, timeoutMillis);
  if (!done) pa_operation_cancel(op);
  pa_operation_set_state_callback(op, nullptr, nullptr);
  const bool ok = done && pa_operation_get_state(op) == PA_OPERATION_DONE;
  pa_operation_unref(op);
  return ok;
}

}  // namespace vk2
