#include "oru/gui/controls/position_changes.h"

#include <algorithm>
#include <cstdlib>

namespace vk2::gui {

bool OfferPositionChange(WindowPart& part, PositionModel& model, int32_t position) {
  if (position == model.IntPos()) return false;
  RefPtr<MWindowElement> outer(part.Outer());
  // Standing alone nobody can refuse; a wrapper answers 0x102 with nonzero to allow.
  if (outer.Get() != part.Self() &&
      !outer->Notify(kNotifyQueryPosChange, reinterpret_cast<uintptr_t>(&position))) {
    return false;
  }
  if (!model.SetIntPos(position)) return false;
  part.Repaint();
  outer->Notify(kNotifyPosChange, static_cast<uintptr_t>(model.IntPos()));
  return true;
}

void TellPositionFinal(WindowPart& part, const PositionModel& model) {
  RefPtr<MWindowElement>(part.Outer())
      ->Notify(kNotifyPosFinalized, static_cast<uintptr_t>(model.IntPos()));
}

bool PositionForKey(const PositionModel& model, int32_t key, int32_t* target) {
  constexpr int32_t kPageDivisions = 10;
  const int32_t page = std::max(1, std::abs(model.Maximum() - model.Minimum()) / kPageDivisions);
  switch (key) {
    case kKeyRight:
    case kKeyUp:
      *target = model.Stepped(1);
      return true;
    case kKeyLeft:
    case kKeyDown:
      *target = model.Stepped(-1);
      return true;
    case kKeyPageUp:
      *target = model.Stepped(page);
      return true;
    case kKeyPageDown:
      *target = model.Stepped(-page);
      return true;
    case kKeyHome:
      *target = model.Minimum();
      return true;
    case kKeyEnd:
      *target = model.Maximum();
      return true;
    default:
      return false;
  }
}

}  // namespace vk2::gui
