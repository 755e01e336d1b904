// Hears the console's new output on whatever thread writes it and asks the window's loop for
// one repaint. The writing thread never waits for the GUI: it only sets a flag and, when no
// repaint is pending yet, posts one. A burst of lines thus costs the loop one post.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "interfaces/runtime/console.h"

namespace vk2::gui {

class ConsoleWatcher final : public MConsoleListener {
 public:
  // `post` hands the repaint to the GUI loop (thread-safe, non-blocking); the loop's task then
  // calls Repainting() before it repaints.
  explicit ConsoleWatcher(std::function<void()> post) : post_(std::move(post)) {}
  ~ConsoleWatcher();
  ConsoleWatcher(const ConsoleWatcher&) = delete;
  ConsoleWatcher& operator=(const ConsoleWatcher&) = delete;

  // Registers with `console` (held for the removal); false when it cannot.
  bool Watch(MConsole* console);
  void Stop();

  bool OnConsoleNotify(uint32_t code) override;
  // On the loop: the pending repaint is being served; output from now on posts again.
  void Repainting() { pending_.store(false, std::memory_order_release); }
  bool Pending() const { return pending_.load(std::memory_order_acquire); }

 private:
  std::function<void()> post_;
  MConsole* console_ = nullptr;
  std::atomic<bool> pending_{false};
};

}  // namespace vk2::gui
