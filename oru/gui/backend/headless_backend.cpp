#include "oru/gui/backend/headless_backend.h"

#include <algorithm>
#include <utility>

#include "oru/gui/backend/png_dump.h"

namespace vk2::gui {

HeadlessBackend::HeadlessBackend() : sleeper_(std::make_shared<ClockSleeper>()) {}
HeadlessBackend::~HeadlessBackend() = default;

uint32_t HeadlessBackend::CreateWindow() {
  std::lock_guard lock(mutex_);
  const uint32_t id = nextId_++;
  windows_[id] = HeadlessWindow{};
  return id;
}

void HeadlessBackend::DestroyWindow(uint32_t window) {
  std::lock_guard lock(mutex_);
  windows_.erase(window);
}

void HeadlessBackend::SetWindowRect(uint32_t window, const RectI& screenRect) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.rect = screenRect;
}

void HeadlessBackend::ShowWindow(uint32_t window, bool show) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.visible = show;
}

void HeadlessBackend::MinimizeWindow(uint32_t window, bool minimize) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.minimized = minimize;
}

void HeadlessBackend::SetAlwaysOnTop(uint32_t window, bool onTop) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.alwaysOnTop = onTop;
}

void HeadlessBackend::SetOpacity(uint32_t window, int32_t opacity) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.opacity = opacity;
}

void HeadlessBackend::SetTitle(uint32_t window, const std::u16string& title) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.title = title;
}

void HeadlessBackend::RaiseWindow(uint32_t window, bool top) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.raiseCount += top ? 1 : -1;
}

void HeadlessBackend::Present(uint32_t window, const SurfaceView& pixels, const RectI& damage) {
  (void)damage;
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it == windows_.end() || pixels.format != PixelFormat::kArgb32) return;
  HeadlessWindow& w = it->second;
  w.presentedWidth = pixels.width;
  w.presentedHeight = pixels.height;
  w.pixels.resize(static_cast<size_t>(pixels.width) * pixels.height);
  for (int32_t y = 0; y < pixels.height; ++y) {
    std::copy_n(pixels.Argb(y), pixels.width,
                w.pixels.data() + static_cast<size_t>(y) * pixels.width);
  }
  ++w.presentCount;
}

void HeadlessBackend::SetShape(uint32_t window, const SurfaceView* mask) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  HeadlessWindow& w = it->second;
  w.shaped = mask != nullptr;
  w.shape.clear();
  w.shapeWidth = 0;
  if (!mask) return;
  w.shapeWidth = mask->width;
  w.shape.resize(static_cast<size_t>(mask->width) * mask->height);
  for (int32_t y = 0; y < mask->height; ++y) {
    const uint8_t* row = mask->Row(y);
    for (int32_t x = 0; x < mask->width; ++x) {
      w.shape[static_cast<size_t>(y) * mask->width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
}

bool HeadlessBackend::PollEvent(BackendEvent* event) {
  std::lock_guard lock(mutex_);
  if (events_.empty()) return false;
  *event = std::move(events_.front());
  events_.pop_front();
  return true;
}

void HeadlessBackend::Wait(uint64_t deadlineMs) {
  std::shared_ptr<ClockSleeper> sleeper = sleeper_;
  std::unique_lock lock(sleeper->mutex);
  if (!woken_) CurrentClock().WaitUntil(sleeper, lock, deadlineMs);
  woken_ = false;
  ++wakeCount_;
}

void HeadlessBackend::Wake() {
  {
    std::lock_guard lock(sleeper_->mutex);
    woken_ = true;
  }
  sleeper_->cv.notify_all();
}

PointI HeadlessBackend::PointerOnScreen() {
  std::lock_guard lock(mutex_);
  return pointer_;
}

std::vector<Monitor> HeadlessBackend::Monitors() {
  std::lock_guard lock(mutex_);
  return monitors_;
}

void HeadlessBackend::SetMonitors(std::vector<Monitor> monitors) {
  std::lock_guard lock(mutex_);
  monitors_ = std::move(monitors);
}

std::u16string HeadlessBackend::ClipboardText() {
  std::lock_guard lock(mutex_);
  return clipboard_;
}

void HeadlessBackend::SetClipboardText(const std::u16string& text) {
  std::lock_guard lock(mutex_);
  clipboard_ = text;
}

void HeadlessBackend::EnableTextInput(bool enable) {
  std::lock_guard lock(mutex_);
  textInput_ = enable;
}

uint64_t HeadlessBackend::WakeCount() {
  std::lock_guard lock(sleeper_->mutex);
  return wakeCount_;
}

void HeadlessBackend::Inject(BackendEvent event) {
  {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(event.window);
    if (it != windows_.end() && event.type != BackendEvent::Type::kMoved) {
      pointer_ = PointI{it->second.rect.left + event.x, it->second.rect.top + event.y};
    }
    events_.push_back(std::move(event));
  }
  Wake();
}

void HeadlessBackend::InjectPointer(BackendEvent::Type type, uint32_t window, int32_t x, int32_t y,
                                    int32_t button, uint32_t modifiers) {
  BackendEvent e;
  e.modifiers = modifiers;
  e.type = type;
  e.window = window;
  e.x = x;
  e.y = y;
  e.button = button;
  Inject(std::move(e));
}

void HeadlessBackend::MoveTo(uint32_t window, int32_t x, int32_t y) {
  InjectPointer(BackendEvent::Type::kPointerMove, window, x, y, 0);
}

void HeadlessBackend::Press(uint32_t window, int32_t x, int32_t y, int32_t button,
                            uint32_t modifiers) {
  MoveTo(window, x, y);
  InjectPointer(BackendEvent::Type::kButtonDown, window, x, y, button, modifiers);
}

void HeadlessBackend::ReleaseButton(uint32_t window, int32_t x, int32_t y, int32_t button) {
  MoveTo(window, x, y);
  InjectPointer(BackendEvent::Type::kButtonUp, window, x, y, button);
}

void HeadlessBackend::Click(uint32_t window, int32_t x, int32_t y, int32_t button,
                            uint32_t modifiers) {
  Press(window, x, y, button, modifiers);
  ReleaseButton(window, x, y, button);
}

void HeadlessBackend::Key(uint32_t window, int32_t key, uint32_t modifiers) {
  BackendEvent e;
  e.type = BackendEvent::Type::kKeyDown;
  e.window = window;
  e.key = key;
  e.modifiers = modifiers;
  Inject(e);
  e.type = BackendEvent::Type::kKeyUp;
  Inject(std::move(e));
}

void HeadlessBackend::Text(uint32_t window, const std::u16string& text) {
  BackendEvent e;
  e.type = BackendEvent::Type::kText;
  e.window = window;
  e.text = text;
  Inject(std::move(e));
}

void HeadlessBackend::Drop(uint32_t window, int32_t x, int32_t y,
                           std::vector<std::u16string> paths) {
  BackendEvent e;
  e.type = BackendEvent::Type::kDrop;
  e.window = window;
  e.x = x;
  e.y = y;
  e.paths = std::move(paths);
  Inject(std::move(e));
}

HeadlessWindow HeadlessBackend::Window(uint32_t window) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  return it == windows_.end() ? HeadlessWindow{} : it->second;
}

std::vector<uint32_t> HeadlessBackend::WindowIds() {
  std::lock_guard lock(mutex_);
  std::vector<uint32_t> ids;
  for (const auto& [id, w] : windows_)
    ids.push_back(id);
  return ids;
}

bool HeadlessBackend::TextInputEnabled() {
  std::lock_guard lock(mutex_);
  return textInput_;
}

bool HeadlessBackend::DumpPng(uint32_t window, const std::string& path) {
  HeadlessWindow w = Window(window);
  if (w.presentCount == 0) return false;
  SurfaceView view;
  view.bits = reinterpret_cast<uint8_t*>(w.pixels.data());
  view.width = w.presentedWidth;
  view.height = w.presentedHeight;
  view.strideBytes = w.presentedWidth * 4;
  return WritePng(view, path);
}

}  // namespace vk2::gui
