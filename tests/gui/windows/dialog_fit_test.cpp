// A settings pane's dialog in its container: as large as it wants within it, with a scroll bar's
// room left along each edge it overflows.
#include <gtest/gtest.h>

#include "gui/settings_window/dialog_fit.h"

namespace vk2::gui {
namespace {

TEST(DialogFitTest, TheDialogKeepsRoomForTheBarsItNeeds) {
  struct Case {
    const char* name;
    SizeI container, wanted, size;
    bool vertical, horizontal;
  };
  const Case cases[] = {
      {"fits", {300, 200}, {250, 150}, {250, 150}, false, false},
      {"fits exactly", {300, 200}, {300, 200}, {300, 200}, false, false},
      {"narrower and lower", {200, 100}, {300, 200}, {190, 90}, true, true},
      {"only narrower", {200, 300}, {300, 200}, {200, 200}, false, true},
      {"narrower, then too low for the bar", {200, 205}, {300, 200}, {190, 195}, true, true},
      {"only lower", {300, 100}, {250, 200}, {250, 100}, true, false},
      {"tiny", {5, 5}, {300, 200}, {0, 0}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DialogFit fit = FitDialog(c.container, c.wanted);
    EXPECT_EQ(fit.size, c.size);
    EXPECT_EQ(fit.vertical, c.vertical);
    EXPECT_EQ(fit.horizontal, c.horizontal);
  }
}

}  // namespace
}  // namespace vk2::gui
