#include "gui/settings_window/dialog_fit.h"

#include <algorithm>

namespace vk2::gui {

DialogFit FitDialog(SizeI container, SizeI wanted) {
  int32_t usableWidth = container.width;
  int32_t usableHeight = container.height;
  // Too narrow: the horizontal bar takes the bottom; then, too low as well, the vertical bar
  // takes the right.
  if (container.width < wanted.width) usableHeight = container.height - kDialogBarRoom;
  if (usableHeight < wanted.height) usableWidth = container.width - kDialogBarRoom;
  DialogFit fit;
  fit.size.width = std::max(0, std::min(wanted.width, usableWidth));
  fit.size.height = std::max(0, std::min(wanted.height, usableHeight));
  fit.horizontal = fit.size.width < wanted.width;
  fit.vertical = fit.size.height < wanted.height;
  return fit;
}

}  // namespace vk2::gui
