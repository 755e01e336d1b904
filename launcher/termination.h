// SIGTERM, SIGINT and SIGHUP end the running player the way closing its last window does: the
// loop quits, Run returns, and Shutdown saves what it saves. A second signal while that is
// under way ends the process at once.
#pragma once

#include <functional>
#include <thread>

#include "platform/instance/local_socket.h"

namespace vk2::launcher {

class TerminationWatch {
 public:
  TerminationWatch() = default;
  ~TerminationWatch() { Stop(); }
  TerminationWatch(const TerminationWatch&) = delete;
  TerminationWatch& operator=(const TerminationWatch&) = delete;

  // Installs the handlers; `quit` runs on the watch's own thread at the first signal and
  // answers false when nothing could be asked to quit (the signal then ends the process).
  bool Start(std::function<bool()> quit);
  // Restores the default handling and joins the thread.
  void Stop();

 private:
  void Watch();

  std::function<bool()> quit_;
  std::thread thread_;
};

}  // namespace vk2::launcher
