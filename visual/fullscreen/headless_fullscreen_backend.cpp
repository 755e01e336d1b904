#include "visual/fullscreen/headless_fullscreen_backend.h"

namespace vk2 {

HeadlessFullscreenBackend::HeadlessFullscreenBackend(std::vector<FullscreenMode> modes)
    : modes_(std::move(modes)) {}

std::vector<FullscreenMode> HeadlessFullscreenBackend::Modes(int32_t) {
  std::lock_guard<std::mutex> lock(lock_);
  return modes_;
}

bool HeadlessFullscreenBackend::Open(int32_t, const FullscreenMode& mode, bool switchMode) {
  std::lock_guard<std::mutex> lock(lock_);
  state_.open = true;
  state_.mode = mode;
  state_.switched = switchMode;
  return true;
}

void HeadlessFullscreenBackend::Present(const SurfaceView& image) {
  std::lock_guard<std::mutex> lock(lock_);
  ++state_.frames;
  state_.lastWidth = image.width;
  state_.lastHeight = image.height;
  state_.lastFrame.clear();
  for (int32_t y = 0; y < image.height; ++y)
    state_.lastFrame.insert(state_.lastFrame.end(), image.Argb(y), image.Argb(y) + image.width);
}

bool HeadlessFullscreenBackend::PollAction(FullscreenAction* action) {
  std::lock_guard<std::mutex> lock(lock_);
  state_.pendingActions = actions_.size();
  if (actions_.empty()) return false;
  *action = actions_.front();
  actions_.pop_front();
  state_.pendingActions = actions_.size();
  return true;
}

void HeadlessFullscreenBackend::Close() {
  std::lock_guard<std::mutex> lock(lock_);
  state_.open = false;
  state_.closed = true;
}

void HeadlessFullscreenBackend::Inject(FullscreenAction action) {
  std::lock_guard<std::mutex> lock(lock_);
  actions_.push_back(action);
  state_.pendingActions = actions_.size();
}

HeadlessFullscreenBackend::Snapshot HeadlessFullscreenBackend::State() {
  std::lock_guard<std::mutex> lock(lock_);
  return state_;
}

}  // namespace vk2
