// How a pane's dialog fits its container: as large as it wants within the container, leaving a
// scroll bar's room along each edge where it does not fit, and which bars that needs.
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"

namespace vk2::gui {

inline constexpr int32_t kDialogBarRoom = 10;  // a scroll bar's thickness beside the dialog

struct DialogFit {
  SizeI size;               // the dialog's extent in the container
  bool vertical = false;    // rows out of sight: the bar at the right shows
  bool horizontal = false;  // columns out of sight: the bar at the bottom shows
};

// The dialog's extent for a container of `container` and a dialog that wants `wanted`.
DialogFit FitDialog(SizeI container, SizeI wanted);

}  // namespace vk2::gui
