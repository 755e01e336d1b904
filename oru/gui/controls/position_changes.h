// A change of position made by the user (pointer, wheel, keys) on a fill bar or spin button:
// offered to the wrapper first (0x102, which may refuse or alter it), then applied and told
// (0x103); the end of the gesture is told as final (0x104).
#pragma once

#include <cstdint>

#include "oru/gui/controls/position_model.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

// False when refused or when it would not move the position.
bool OfferPositionChange(WindowPart& part, PositionModel& model, int32_t position);
void TellPositionFinal(WindowPart& part, const PositionModel& model);
// Where a key moves the position: arrows one step, Page Up/Down a tenth of the range, Home/End
// the ends. False for any other key.
bool PositionForKey(const PositionModel& model, int32_t key, int32_t* target);

}  // namespace vk2::gui
