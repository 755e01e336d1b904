#include "visual/fullscreen/fullscreen_session.h"

#include <algorithm>

namespace vk2 {
namespace {

constexpr double kVolumeStep = 0.1;
constexpr uint8_t kAsync = 1;
constexpr char16_t kDefaultPlayer[] = u"default";

int64_t Area(const FullscreenMode& m) {
  return int64_t{m.width} * m.height;
}

}  // namespace

FullscreenSession::FullscreenSession(RefPtr<MVisualHost> host,
                                     std::unique_ptr<FullscreenBackend> backend, Clock& clock,
                                     PlayerLookup lookup)
    : host_(std::move(host)),
      backend_(std::move(backend)),
      clock_(clock),
      lookup_(std::move(lookup)) {}

FullscreenSession::~FullscreenSession() = default;

uint32_t FullscreenSession::CurrentVisualId() {
  std::lock_guard<std::mutex> lock(stateLock_);
  return visualId_;
}

FullscreenMode FullscreenSession::CurrentMode() {
  std::lock_guard<std::mutex> lock(stateLock_);
  return mode_;
}

void FullscreenSession::Stop() {
  running_ = false;
  std::lock_guard<std::mutex> lock(sleeper_->mutex);
  sleeper_->cv.notify_all();
}

bool FullscreenSession::Run(const FullscreenRequest& request) {
  request_ = request;
  if (request_.frameRate == 0) request_.frameRate = 60;
  std::vector<FullscreenMode> modes = backend_->Modes(request_.display);
  if (modes.empty() || !host_) return false;
  {
    std::lock_guard<std::mutex> lock(stateLock_);
    modes_ = modes;
  }
  const TString playerName =
      request_.playerName.IsEmpty() ? TString(kDefaultPlayer) : request_.playerName;
  player_ = lookup_ ? lookup_(playerName) : nullptr;
  // A named visual, else the first one; none at all ends the display at once.
  uint32_t id = 0;
  if (!request_.visualName.IsEmpty()) {
    RefPtr<MVisual> named;
    if (host_->GetVisualByName(request_.visualName.c_str(), named.Put()) == 0 && named) {
      id = named->GetId();
    }
  }
  if (id == 0) id = host_->GetNextId(0);
  if (id == 0) return false;
  if (!backend_->Open(request_.display, modes.front(), request_.switchMode)) return false;
  SwitchTo(modes.front());
  ChooseVisual(id);

  running_ = true;
  const uint32_t frameMs = std::max<uint32_t>(1, 1000 / request_.frameRate);
  uint64_t deadline = clock_.NowMs();
  while (running_) {
    FullscreenAction action;
    while (running_ && backend_->PollAction(&action))
      Handle(action);
    if (!running_) break;
    RenderFrame();
    WaitForNextFrame(&deadline, frameMs);
  }
  {
    std::lock_guard<std::mutex> lock(stateLock_);
    renderer_ = nullptr;
    if (visual_) visual_->Attach(nullptr, kVisualDetached);
    visual_ = nullptr;
  }
  backend_->Close();
  return true;
}

void FullscreenSession::WaitForNextFrame(uint64_t* deadline, uint32_t frameMs) {
  // A late frame moves the schedule rather than running frames back to back: the loop always
  // waits at least until the clock moves on.
  const uint64_t now = clock_.NowMs();
  *deadline = std::max(*deadline + frameMs, now + 1);
  std::unique_lock<std::mutex> lock(sleeper_->mutex);
  while (running_ && !clock_.WaitUntil(sleeper_, lock, *deadline)) {
  }
}

void FullscreenSession::RenderFrame() {
  std::lock_guard<std::mutex> lock(stateLock_);
  SurfaceView view;
  view.bits = reinterpret_cast<uint8_t*>(image_.data());
  view.width = mode_.width;
  view.height = mode_.height;
  view.strideBytes = mode_.width * 4;
  const bool drawn =
      renderer_ && renderer_->Render(&view, 0, 0, mode_.width, mode_.height, nullptr, 0) >= 0;
  if (!drawn) std::fill(image_.begin(), image_.end(), 0xFF000000u);
  backend_->Present(view);
  ++frames_;
}

void FullscreenSession::ChooseVisual(uint32_t id) {
  RefPtr<MVisual> visual;
  if (host_->GetVisualById(id, visual.Put()) != 0 || !visual) return;
  RefPtr<MVisualRenderer> renderer;
  if (player_ && visual->Attach(player_.Get(), kVisualDrawMode)) {
    renderer = RefPtr<MVisualRenderer>::Adopt(visual->GetRenderer());
  }
  std::lock_guard<std::mutex> lock(stateLock_);
  renderer_ = std::move(renderer);
  if (visual_) visual_->Attach(nullptr, kVisualDetached);
  visual_ = std::move(visual);
  visualId_ = id;
}

void FullscreenSession::SwitchTo(const FullscreenMode& mode) {
  std::lock_guard<std::mutex> lock(stateLock_);
  mode_ = mode;
  image_.assign(static_cast<size_t>(std::max(mode.width, 0)) * std::max(mode.height, 0),
                0xFF000000u);
}

void FullscreenSession::StepMode(bool sizeStep, bool forward) {
  FullscreenMode current;
  std::vector<FullscreenMode> modes;
  {
    std::lock_guard<std::mutex> lock(stateLock_);
    current = mode_;
    modes = modes_;
  }
  const FullscreenMode* best = nullptr;
  for (const FullscreenMode& m : modes) {
    if (sizeStep) {
      // The next size up or down at the current depth.
      if (m.depth != current.depth) continue;
      const bool beyond = forward ? Area(m) > Area(current) : Area(m) < Area(current);
      if (!beyond) continue;
      if (!best || (forward ? Area(m) < Area(*best) : Area(m) > Area(*best))) best = &m;
    } else {
      // The next depth up or down at the current size.
      if (m.width != current.width || m.height != current.height) continue;
      const bool beyond = forward ? m.depth > current.depth : m.depth < current.depth;
      if (!beyond) continue;
      if (!best || (forward ? m.depth < best->depth : m.depth > best->depth)) best = &m;
    }
  }
  if (!best) return;
  const FullscreenMode chosen = *best;
  if (!backend_->Open(request_.display, chosen, request_.switchMode)) return;
  SwitchTo(chosen);
}

void FullscreenSession::Handle(FullscreenAction action) {
  MPlayer* player = player_.Get();
  switch (action) {
    case FullscreenAction::kQuit:
      running_ = false;
      return;
    case FullscreenAction::kPlayerPrevious:
      if (player) player->Previous(kAsync);
      return;
    case FullscreenAction::kPlayerNext:
      if (player) player->Next(kAsync);
      return;
    case FullscreenAction::kVolumeUp:
    case FullscreenAction::kVolumeDown: {
      double volume = 0;
      if (!player || player->GetVolume(&volume) < 0) return;
      volume += action == FullscreenAction::kVolumeUp ? kVolumeStep : -kVolumeStep;
      player->SetVolume(std::clamp(volume, 0.0, 1.0));
      return;
    }
    case FullscreenAction::kPlay:
      if (player) player->Play(kAsync);
      return;
    case FullscreenAction::kStop:
      if (player) player->Stop(kAsync);
      return;
    case FullscreenAction::kLargerMode:
      return StepMode(true, true);
    case FullscreenAction::kSmallerMode:
      return StepMode(true, false);
    case FullscreenAction::kDeeperMode:
      return StepMode(false, true);
    case FullscreenAction::kShallowerMode:
      return StepMode(false, false);
    case FullscreenAction::kPreviousVisual:
    case FullscreenAction::kNextVisual: {
      const bool next = action == FullscreenAction::kNextVisual;
      const uint32_t current = CurrentVisualId();
      uint32_t id = next ? host_->GetNextId(current) : host_->GetPrevId(current);
      if (id == 0) id = next ? host_->GetNextId(0) : host_->GetPrevId(0);
      if (id != 0 && id != current) ChooseVisual(id);
      return;
    }
  }
}

}  // namespace vk2
