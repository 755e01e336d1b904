#include "gui/visual_window/visual_display.h"

#include <algorithm>

#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

// The preference pane edits the settings of the group "default", which a display without a
// group shares.
constexpr char16_t kDefaultGroup[] = u"default";

}  // namespace

VisualDisplay::VisualDisplay(VisualDisplayServices services) : services_(std::move(services)) {}

VisualDisplay::~VisualDisplay() {
  Close();
}

TString VisualDisplay::Group() {
  std::lock_guard lock(listLock_);
  return group_;
}

void VisualDisplay::Repaint() {
  if (services_.repaint) services_.repaint();
}

void VisualDisplay::Open() {
  player_ = services_.findPlayer ? services_.findPlayer(playerName_) : nullptr;
  std::lock_guard list(listLock_);
  if (!group_.IsEmpty()) {
    // A script may have named the group already; a window joins once.
    if (joined_) return;
    {
      std::lock_guard window(windowLock_);
      visualId_ = 0;
    }
    MVisualControl* control = Control();
    joined_ = control && control->JoinGroup(this, group_.c_str()) >= 0;
    return;
  }
  if (!services_.host) return;
  const uint32_t first = services_.host->GetNextId(0);
  std::lock_guard window(windowLock_);
  RefPtr<MVisual> visual;
  if (first == 0 || services_.host->GetVisualById(first, visual.Put()) < 0 || !visual) return;
  // A visual that cannot draw for this player is dropped at once.
  if (!visual->Attach(player_.Get(), kVisualDrawMode)) return;
  visual_ = std::move(visual);
  visualId_ = first;
}

void VisualDisplay::Close() {
  {
    std::lock_guard list(listLock_);
    if (joined_) {
      if (MVisualControl* control = Control()) control->LeaveGroup(this, group_.c_str());
      joined_ = false;
    }
  }
  std::lock_guard window(windowLock_);
  visual_ = nullptr;
  visualId_ = 0;
}

void VisualDisplay::Show(uint32_t id) {
  RefPtr<MVisual> next;
  if (id != 0 && services_.host && (services_.host->GetVisualById(id, next.Put()) < 0 || !next)) {
    next = nullptr;
  }
  // The old visual goes before the new one attaches, so one player instance can serve both.
  visual_ = nullptr;
  visualId_ = 0;
  if (!next) return;
  next->Attach(player_.Get(), kVisualDrawMode);
  visual_ = std::move(next);
  visualId_ = id;
}

bool VisualDisplay::ChooseVisual(uint32_t id) {
  {
    std::lock_guard list(listLock_);
    if (!group_.IsEmpty()) {
      MVisualControl* control = Control();
      return control && control->GroupSetVisual(group_.c_str(), id) >= 0;
    }
  }
  return SetVisual(id) >= 0;
}

int32_t VisualDisplay::SetVisual(uint32_t id) {
  {
    std::lock_guard window(windowLock_);
    if (id != visualId_) {
      RefPtr<MVisual> probe;
      if (!services_.host || services_.host->GetVisualById(id, probe.Put()) < 0 || !probe) {
        return kErrNotFound;
      }
      probe = nullptr;
      Show(id);
    }
  }
  Repaint();
  return kOk;
}

uint32_t VisualDisplay::GetVisualId() {
  std::lock_guard window(windowLock_);
  return visualId_;
}

void VisualDisplay::Step(bool forward) {
  {
    std::lock_guard list(listLock_);
    if (!group_.IsEmpty()) {
      if (MVisualControl* control = Control()) {
        forward ? control->GroupNextVisual(group_.c_str())
                : control->GroupPrevVisual(group_.c_str());
      }
      return;
    }
  }
  if (services_.host) {
    std::lock_guard window(windowLock_);
    MVisualHost* host = services_.host.Get();
    uint32_t next = forward ? host->GetNextId(visualId_) : host->GetPrevId(visualId_);
    // Past either end: round to the other.
    if (next == 0) next = forward ? host->GetNextId(0) : host->GetPrevId(0);
    if (next != 0 && next != visualId_) Show(next);
  }
  Repaint();
}

void VisualDisplay::SetVisualGroup(const TString& name) {
  std::lock_guard list(listLock_);
  MVisualControl* control = Control();
  if (!group_.IsEmpty() && joined_ && control) control->LeaveGroup(this, group_.c_str());
  joined_ = false;
  group_ = name;
  if (!group_.IsEmpty() && control) joined_ = control->JoinGroup(this, group_.c_str()) >= 0;
}

void VisualDisplay::LoadEffectSettings(MVisualPostEffect* effect, const TString& group) {
  TString module;
  if (!services_.openSettings || effect->GetString(u"modulename", &module) < 0) return;
  const TString path = TString::Format(
      u"visuals/groups/%s/%s", group.IsEmpty() ? kDefaultGroup : group.c_str(), module.c_str());
  if (RefPtr<MPreferenceStore> section = services_.openSettings(path)) {
    effect->LoadSettings(section.Get());
  }
}

int32_t VisualDisplay::SwitchPostEffect(const Guid& classId, bool enable) {
  std::lock_guard list(listLock_);
  if (!group_.IsEmpty()) {
    MVisualControl* control = Control();
    return control ? control->GroupEnablePostEffect(group_.c_str(), classId, enable ? 1 : 0)
                   : kErrNoService;
  }
  if (!enable) return EnablePostEffect(classId, nullptr);
  const bool listed = std::any_of(effects_.begin(), effects_.end(),
                                  [&](const EffectItem& item) { return item.classId == classId; });
  if (listed) return kOk;
  int32_t result = kErrCannotCreate;
  RefPtr<MVisualPostEffect> effect =
      services_.createEffect ? services_.createEffect(classId, &result) : nullptr;
  if (!effect) return result < 0 ? result : kErrCannotCreate;
  return EnablePostEffect(classId, effect.Get());
}

int32_t VisualDisplay::EnablePostEffect(const Guid& classId, MVisualPostEffect* effect) {
  std::lock_guard list(listLock_);
  auto item = std::find_if(effects_.begin(), effects_.end(),
                           [&](const EffectItem& e) { return e.classId == classId; });
  if (!effect) {
    if (item != effects_.end()) effects_.erase(item);
    return kOk;
  }
  if (item != effects_.end()) return kOk;
  LoadEffectSettings(effect, group_);
  effects_.push_back({classId, RefPtr<MVisualPostEffect>(effect)});
  return kOk;
}

void VisualDisplay::GetPostEffects(std::vector<Guid>* classIds) {
  std::lock_guard list(listLock_);
  classIds->clear();
  for (const EffectItem& item : effects_)
    classIds->push_back(item.classId);
}

int32_t VisualDisplay::SendFilterMessage(const char16_t* message, int32_t argument) {
  std::lock_guard list(listLock_);
  for (const EffectItem& item : effects_) {
    const int32_t result = item.effect->SendFilterMessage(message, static_cast<uint32_t>(argument));
    if (result < 0) return result;
  }
  return kOk;
}

bool VisualDisplay::Draw(const SurfaceView& target) {
  std::lock_guard list(listLock_);
  std::vector<VisualPostEffectItem> items;
  for (const EffectItem& item : effects_)
    items.push_back({item.classId, item.effect.Get()});
  RefPtr<MVisualRenderer> renderer;
  {
    std::lock_guard window(windowLock_);
    if (visual_) renderer = RefPtr<MVisualRenderer>::Adopt(visual_->GetRenderer());
  }
  if (!renderer || target.Empty()) return false;
  return renderer->Render(&target, 0, 0, target.width, target.height, items.data(),
                          static_cast<uint32_t>(items.size())) >= 0;
}

bool VisualDisplay::NeedsRedraw() {
  std::lock_guard window(windowLock_);
  return visual_ && visual_->NeedsRedraw();
}

}  // namespace vk2::gui
