// The display's docking layout and its transitions: bars take strips along their edges in page
// order, the fill page takes what is left; each page then moves to its place, a new one slides
// in from beyond its edge (a fill page by one full width) and a leaving one slides out.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vk2::gui {

// Page kinds: bars along an edge, or the fill page.
enum PageKind : int32_t {
  kPageTop = 0,
  kPageLeft = 1,
  kPageRight = 2,
  kPageBottom = 3,
  kPageFill = 4
};

// A window's place in its parent: pixel offsets added to edges at fractions of the parent's
// width and height (left, top, right, bottom).
struct Placement {
  std::array<int32_t, 4> offsets{};
  std::array<double, 4> relative{};
  bool operator==(const Placement&) const = default;
};

// What a layout pass needs to know of one page.
struct PageGeometry {
  int32_t kind = kPageFill;
  int32_t size = 0;                 // a bar's thickness
  std::array<int32_t, 4> border{};  // border offsets left, top, right, bottom
  bool removed = false;             // leaving in this pass
  bool isWindow = true;             // pages that are no windows take part in nothing
  Placement current;                // where the window is now
};

// Window commands of a transition step.
inline constexpr uint32_t kMoveOffsets = 8;
inline constexpr uint32_t kMoveRelative = 16;
inline constexpr uint32_t kMoveBoth = 24;
// Every animated step runs this long, whatever the display's animation duration says.
inline constexpr int32_t kTransitionMs = 1000;

struct TransitionStep {
  uint32_t command = kMoveBoth;
  int32_t durationMs = 0;  // 0: at once, without interpolation
  Placement end;
};

struct PageTransition {
  Placement target;  // where the page belongs once the pass is over
  std::vector<TransitionStep> steps;
};

// Lays out `pages` in order; `back` runs fill pages the other way. Pages that are no windows
// get no steps (but a bar still takes its strip unless removed).
std::vector<PageTransition> LayoutPages(const std::vector<PageGeometry>& pages, bool back);

// The decelerating interpolation of every animated step: fast at first, slowing to a stop.
int32_t LinearDecel(int32_t start, int32_t end, double t);

}  // namespace vk2::gui
