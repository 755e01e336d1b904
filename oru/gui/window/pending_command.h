// A command posted to a window part, with copies of everything its record pointed to.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {

struct PendingCommand {
  uint32_t code = 0;
  uint64_t startMs = 0;
  uint64_t durationMs = 0;
  uint32_t options = 0;
  uint64_t sequence = 0;
  MWindowElement* sender = nullptr;   // the window itself when null or self
  RefPtr<MWindowElement> senderHold;  // a reference when the sender is another window
  uintptr_t value = 0;
  bool started = false;

  // Tweens: the record as posted, and the values actually travelled (after "from current" and
  // relative targets are resolved at the start).
  TweenRecord tween;
  TweenState from;
  TweenState to;

  // 0x680
  std::u16string property;
  double propertyFrom = 0;
  double propertyTo = 0;
  bool propertyFromCurrent = true;
  int32_t propertyCurve = kTweenLinear;

  DragStartRecord drag;

  // 0x40
  RefPtr<MUnknown> placementParent;
  PlacementRecord placement;
  std::u16string placementName;

  uint64_t EndMs() const { return startMs + durationMs; }
};

// Whether a command's data is a record that must be present.
bool CommandNeedsRecord(uint32_t code);

}  // namespace vk2::gui
