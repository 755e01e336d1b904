#include "oru/gui/controls/button_part.h"

#include <new>

#include "foundation/util/result.h"

namespace vk2::gui {

ButtonPart::ButtonPart(MUnknown* outer) : WindowPartOf(outer) {
  logic_.SetRepeatDelay(0);
}

int32_t ButtonPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) ButtonPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

void ButtonPart::ReadSwitches() {
  PropertyValue value;
  logic_.SetHover(Properties().Get(kPropButtonHover, &value) == 0 && value.integer != 0);
  value = PropertyValue{};
  logic_.SetToggle(Properties().Get(kPropButtonToggle, &value) == 0 && value.integer != 0);
}

bool ButtonPart::Inside(const PointI& point) const {
  const SizeI size = VirtualSize();
  return point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height;
}

void ButtonPart::Apply(const ButtonOutcome& outcome) {
  if (outcome.stateChanged || outcome.toggled) Repaint();
}

int32_t ButtonPart::SetLogicState(uint32_t state, int32_t notify) {
  if (state > kButtonPressedOutside) return kErrOutOfRange;
  Apply(logic_.SetState(static_cast<int32_t>(state)));
  if (notify) RefPtr<MWindowElement>(Outer())->Notify(kNotifyClick, 0);
  return 0;
}

int32_t ButtonPart::SetStateCount(int32_t count) {
  logic_.SetStateCount(count);
  Repaint();
  return 0;
}

int32_t ButtonPart::SetRepeatDelay(int32_t delayMs) {
  logic_.SetRepeatDelay(delayMs);
  return 0;
}

int32_t ButtonPart::SetChecked(int32_t checked) {
  logic_.SetChecked(checked != 0);
  Repaint();
  return 0;
}

int32_t ButtonPart::GetVisualState() {
  ReadSwitches();
  return logic_.VisualState();
}

void ButtonPart::ArmRepeat() {
  if (repeatTimer_) StopTimer(repeatTimer_);
  repeatTimer_ = 0;
  const uint64_t due = logic_.NextRepeatMs();
  if (!due || !Loop()) return;
  const uint64_t now = Loop()->NowMs();
  repeatTimer_ = StartTimer(static_cast<uint32_t>(due > now ? due - now : 0), [this] {
    repeatTimer_ = 0;
    OnRepeat();
  });
}

void ButtonPart::OnRepeat() {
  const ButtonOutcome outcome = logic_.Tick(Loop()->NowMs());
  RefPtr<MWindowElement> keep(Outer());
  if (outcome.clicked) keep->Notify(kNotifyClick, 0);
  if (!IsDestroying()) ArmRepeat();
}

void ButtonPart::OnNotify(uint32_t code, uintptr_t argument) {
  switch (code) {
    case kNotifyPointerTop:
      ReadSwitches();
      Apply(argument ? logic_.PointerEnter() : logic_.PointerLeave());
      break;
    case kNotifyDisabled:
    case kNotifyHidden:
    case kNotifyDestroyed:
      Apply(logic_.Cancel());
      ArmRepeat();
      break;
    default:
      break;
  }
}

int32_t ButtonPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)b;
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryLeftDown:
      ReadSwitches();
      Apply(logic_.Press(Loop() ? Loop()->NowMs() : 0));
      ArmRepeat();
      return 1;
    case kQueryPointerMove:
      if (point) Apply(logic_.Drag(Inside(*point)));
      return 1;
    case kQueryLeftUp:
      Apply(logic_.Release(point && Inside(*point)));
      ArmRepeat();
      return 1;
    case kQueryCaptureLost:
      Apply(logic_.Cancel());
      ArmRepeat();
      return 1;
    default:
      return 0;
  }
}

}  // namespace vk2::gui
