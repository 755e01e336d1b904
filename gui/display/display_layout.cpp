#include "gui/display/display_layout.h"

#include <cmath>

namespace vk2::gui {
namespace {

constexpr std::array<std::array<double, 4>, 5> kRelative = {{
    {0, 0, 1, 0},  // top
    {0, 0, 0, 1},  // left
    {1, 0, 1, 1},  // right
    {0, 1, 1, 1},  // bottom
    {0, 0, 1, 1},  // fill
}};

bool Fresh(const Placement& p) {
  for (int32_t o : p.offsets) {
    if (o != 0) return false;
  }
  for (double r : p.relative) {
    if (r != 0.0) return false;
  }
  return true;
}

}  // namespace

std::vector<PageTransition> LayoutPages(const std::vector<PageGeometry>& pages, bool back) {
  std::array<int32_t, 4> remaining{};  // insets: left, top grow; right, bottom shrink
  std::vector<PageTransition> out(pages.size());
  const int32_t h = back ? -1 : 1;
  for (size_t i = 0; i < pages.size(); ++i) {
    const PageGeometry& page = pages[i];
    const int32_t kind = page.kind >= kPageTop && page.kind <= kPageFill ? page.kind : kPageFill;
    const auto& [oL, oT, oR, oB] = page.border;
    std::array<int32_t, 4> strip = remaining;
    int32_t dx = 0;
    int32_t dy = 0;
    switch (kind) {
      case kPageTop: {
        const int32_t v = remaining[1] + page.size + oT - oB;
        strip[3] = v;
        if (!page.removed) remaining[1] = v;
        dy = v;
        break;
      }
      case kPageLeft: {
        const int32_t v = remaining[0] + page.size + oL - oR;
        strip[2] = v;
        if (!page.removed) remaining[0] = v;
        dx = v;
        break;
      }
      case kPageRight: {
        const int32_t v = remaining[2] - page.size + oR - oL;
        strip[0] = v;
        if (!page.removed) remaining[2] = v;
        dx = v;
        break;
      }
      case kPageBottom: {
        const int32_t v = remaining[3] - page.size + oB - oT;
        strip[1] = v;
        if (!page.removed) remaining[3] = v;
        dy = v;
        break;
      }
      default:
        if (!page.removed) remaining = {};
        break;
    }
    if (!page.isWindow) continue;
    PageTransition& transition = out[i];
    transition.target.offsets = {strip[0] + oL, strip[1] + oT, strip[2] + oR, strip[3] + oB};
    transition.target.relative = kRelative[static_cast<size_t>(kind)];
    const Placement& target = transition.target;
    // A bar's place shifted back over its own edge by the strip's far side.
    Placement outside = target;
    outside.offsets[0] -= dx;
    outside.offsets[2] -= dx;
    outside.offsets[1] -= dy;
    outside.offsets[3] -= dy;
    // A fill page one full width aside.
    auto aside = [&](int32_t direction) {
      Placement moved = target;
      moved.relative[0] += direction;
      moved.relative[2] += direction;
      return moved;
    };
    if (page.removed) {
      transition.steps.push_back(
          {kMoveBoth, kTransitionMs, kind == kPageFill ? aside(-h) : outside});
    } else if (!Fresh(page.current)) {
      transition.steps.push_back({kMoveBoth, kTransitionMs, target});
    } else if (kind == kPageFill) {
      transition.steps.push_back({kMoveBoth, 0, aside(h)});
      transition.steps.push_back({kMoveRelative, kTransitionMs, target});
    } else {
      transition.steps.push_back({kMoveBoth, 0, outside});
      transition.steps.push_back({kMoveOffsets, kTransitionMs, target});
    }
  }
  return out;
}

int32_t LinearDecel(int32_t start, int32_t end, double t) {
  const double u = 1.0 - t;
  const double moved = (static_cast<double>(end) - start) * (1.0 - u * u) + 0.5;
  return start + static_cast<int32_t>(std::trunc(moved));
}

}  // namespace vk2::gui
