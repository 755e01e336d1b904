// Turns SIGTERM into a call on a thread of its own while it lives, so that a terminated player
// leaves its message loop the ordinary way and shuts down in order (saving what it keeps).
#pragma once

#include <functional>
#include <thread>

namespace vk2::gui {

class TerminationWatch {
 public:
  // `onTerminate` runs on the watch's thread, once per signal.
  explicit TerminationWatch(std::function<void()> onTerminate);
  // Restores the earlier handling of SIGTERM.
  ~TerminationWatch();
  TerminationWatch(const TerminationWatch&) = delete;
  TerminationWatch& operator=(const TerminationWatch&) = delete;

  bool IsWatching() const { return thread_.joinable(); }

 private:
  std::function<void()> onTerminate_;
  std::thread thread_;
};

}  // namespace vk2::gui
