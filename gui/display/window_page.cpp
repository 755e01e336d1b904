#include "gui/display/window_page.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2::gui {

WindowPage::WindowPage(RefPtr<MWindowClassFactory> face, MWindowElement* display,
                       RefPtr<MInterfaceDefinition> definition, bool attached)
    : face_(std::move(face)),
      window_(QueryBorrowed<MWindowElement>(face_.Get(), kIID_MWindowElement)),
      display_(display),
      definition_(std::move(definition)),
      attached_(attached) {}

std::shared_ptr<WindowPage> WindowPage::Of(MUnknown* window, MWindowElement* display,
                                           RefPtr<MInterfaceDefinition> definition, bool attached) {
  RefPtr<MWindowClassFactory> face(
      window ? QueryBorrowed<MWindowClassFactory>(window, kIID_MWindowClassFactory) : nullptr);
  if (!face) return nullptr;
  return std::make_shared<WindowPage>(std::move(face), display, std::move(definition), attached);
}

std::array<int32_t, 4> WindowPage::BorderOffset() {
  std::array<int32_t, 4> border{};
  face_->GetPageBorderOffset(border.data());
  return border;
}

TString WindowPage::State() {
  TString state;
  face_->GetPageState(&state);
  return state;
}

bool WindowPage::Attach(const TString& argument) {
  return face_->AttachPage(definition_.Get(), argument) != 0;
}

bool WindowPage::IsShown() {
  int32_t shown = 0;
  return window_ && window_->GetValue(kValueCapability, &shown, sizeof shown) == kOk && shown != 0;
}

bool WindowPage::Place() {
  if (!window_) return false;
  PlacementRecord record;
  // A page made under the display is only anchored there; a window made by class is attached.
  record.parent = attached_ ? nullptr : static_cast<MUnknown*>(display_);
  record.flags = kPlaceVisible | kPlaceEnabled;
  record.mode = kPlaceModeBottom;
  const bool placed =
      window_->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&record), nullptr, 0,
                           0) == kOk;
  if (placed) attached_ = true;
  return placed;
}

Placement WindowPage::Current() {
  Placement current;
  if (!window_) return current;
  window_->GetValue(kValueOffset, current.offsets.data(), sizeof current.offsets);
  window_->GetValue(kValueAlignment, current.relative.data(), sizeof current.relative);
  return current;
}

void WindowPage::Intro(int32_t durationMs) {
  if (window_) window_->Notify(kNotifyIntro, static_cast<uintptr_t>(durationMs));
}

void WindowPage::Move(const TransitionStep& step) {
  if (!window_) return;
  TweenRecord tween;
  for (size_t i = 0; i < 4; ++i) {
    tween.from.words[i] = tween.to.words[i] = step.end.offsets[i];
    tween.from.values[i] = tween.to.values[i] = step.end.relative[i];
  }
  tween.curve = kTweenDecelerate;
  tween.mode = step.durationMs > 0 ? kTweenFromCurrent : 0;
  // The GUI layer moves offsets and fractions by separate commands of the same record.
  for (uint32_t command : {kMoveOffsets, kMoveRelative}) {
    if ((step.command & command) == 0) continue;
    window_->PostCommand(command, 0, step.durationMs, reinterpret_cast<uintptr_t>(&tween), nullptr,
                         0, 0);
  }
}

void WindowPage::Close(int32_t fadeMs) {
  if (!window_) return;
  window_->Notify(kNotifyExtro, static_cast<uintptr_t>(fadeMs));
  window_->PostCommand(kCmdDestroy, 0, fadeMs, 0, nullptr, 0, 0);
}

}  // namespace vk2::gui
