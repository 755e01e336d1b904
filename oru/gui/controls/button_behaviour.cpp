#include "oru/gui/controls/button_behaviour.h"

#include "foundation/util/result.h"

namespace vk2::gui {

namespace {
constexpr uint32_t kFadeFrameMs = 16;
}  // namespace

ButtonBehaviour::ButtonBehaviour(WindowPart& owner) : owner_(owner) {
  logic_.SetRepeatDelay(0);
}

void ButtonBehaviour::ReadSwitches() {
  PropertyValue value;
  logic_.SetHover(owner_.Properties().Get(kPropButtonHover, &value) == 0 && value.integer != 0);
  value = PropertyValue{};
  logic_.SetToggle(owner_.Properties().Get(kPropButtonToggle, &value) == 0 && value.integer != 0);
}

bool ButtonBehaviour::Inside(const PointI& point) const {
  const SizeI size = owner_.VirtualSize();
  return point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height;
}

uint64_t ButtonBehaviour::NowMs() const {
  GuiLoop* loop = WindowPart::Loop();
  return loop ? loop->NowMs() : 0;
}

void ButtonBehaviour::Apply(const ButtonOutcome& outcome) {
  if (!outcome.stateChanged && !outcome.toggled) return;
  // The fade starts when the state changes, not at the next paint.
  AimFade(logic_.StateCount());
  owner_.Repaint();
}

void ButtonBehaviour::AimFade(int32_t looks) {
  ReadSwitches();
  PropertyValue duration;
  const bool hasDuration = owner_.Properties().Get(kPropFadeDuration, &duration) == 0 &&
                           duration.type == kPropertyInteger;
  const int32_t state = logic_.State();
  const int32_t pointer = state == kButtonPressed ? kPointerLookHit
                          : state == kButtonHover ? kPointerLookHover
                                                  : kPointerLookNormal;
  fade_.Aim(looks, logic_.VisualState(), pointer, NowMs(), hasDuration ? duration.integer : 0);
  FollowFade();
}

void ButtonBehaviour::FollowFade() {
  if (fadeTimer_ || !fade_.Fading(NowMs()) || owner_.IsDestroying() || !WindowPart::Loop()) return;
  fadeTimer_ = owner_.StartTimer(kFadeFrameMs, [this] {
    fadeTimer_ = 0;
    owner_.Repaint();
    FollowFade();
  });
}

void ButtonBehaviour::StateWeights(double* out, int32_t looks) {
  AimFade(looks);
  fade_.Weights(NowMs(), out, looks);
}

int32_t ButtonBehaviour::SetLogicState(uint32_t state, int32_t notify) {
  if (state > kButtonPressedOutside) return kErrOutOfRange;
  Apply(logic_.SetState(static_cast<int32_t>(state)));
  if (notify) RefPtr<MWindowElement>(owner_.Outer())->Notify(kNotifyClick, 0);
  return 0;
}

int32_t ButtonBehaviour::SetStateCount(int32_t count) {
  logic_.SetStateCount(count);
  AimFade(count);
  owner_.Repaint();
  return 0;
}

int32_t ButtonBehaviour::SetRepeatDelay(int32_t delayMs) {
  logic_.SetRepeatDelay(delayMs);
  return 0;
}

int32_t ButtonBehaviour::SetChecked(int32_t checked) {
  logic_.SetChecked(checked != 0);
  AimFade(logic_.StateCount());
  owner_.Repaint();
  return 0;
}

int32_t ButtonBehaviour::GetVisualState() {
  ReadSwitches();
  return logic_.VisualState();
}

void ButtonBehaviour::ArmRepeat() {
  if (repeatTimer_) owner_.StopTimer(repeatTimer_);
  repeatTimer_ = 0;
  GuiLoop* loop = WindowPart::Loop();
  const uint64_t due = logic_.NextRepeatMs();
  if (!due || !loop) return;
  const uint64_t now = loop->NowMs();
  repeatTimer_ = owner_.StartTimer(static_cast<uint32_t>(due > now ? due - now : 0), [this] {
    repeatTimer_ = 0;
    OnRepeat();
  });
}

void ButtonBehaviour::OnRepeat() {
  const ButtonOutcome outcome = logic_.Tick(WindowPart::Loop()->NowMs());
  RefPtr<MWindowElement> keep(owner_.Outer());
  if (outcome.clicked) keep->Notify(kNotifyClick, 0);
  if (!owner_.IsDestroying()) ArmRepeat();
}

void ButtonBehaviour::OnNotify(uint32_t code, uintptr_t argument) {
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

int32_t ButtonBehaviour::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)b;
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  GuiLoop* loop = WindowPart::Loop();
  switch (code) {
    case kQueryLeftDown:
      ReadSwitches();
      Apply(logic_.Press(loop ? loop->NowMs() : 0));
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
    case kQueryStateWeights:
      if (!a || static_cast<intptr_t>(b) <= 0) return 0;
      StateWeights(reinterpret_cast<double*>(a), static_cast<int32_t>(b));
      return 1;
    default:
      return 0;
  }
}

}  // namespace vk2::gui
