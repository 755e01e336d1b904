// A border element marks an edge of its parent (or all of them) as a border of a thickness, at
// an offset from the parent's edges. Its properties come from its markup element.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "foundation/text/tstring.h"

namespace vk2 {
class MXmlNode;
}

namespace vk2::gui {

enum BorderEdge : int32_t {
  kEdgeTop = 0,
  kEdgeLeft = 1,
  kEdgeRight = 2,
  kEdgeBottom = 3,
  kEdgeAll = 4
};

// The edge codes are also the page kinds a border element gives the display it is shown in.
struct BorderProperties {
  int32_t edge = kEdgeAll;
  int32_t thickness = 100;          // until loaded from attributes
  std::array<int32_t, 4> offset{};  // left, top, right, bottom
};

// Finds a rectangle given inline or by the name of a defined one (the interface definition's).
using RectResolver = std::function<bool(const TString& text, double out[4])>;

// Reads "edge" (top, left, right, bottom or all, any case; otherwise all), "thickness" (0 when
// absent) and "border_offset". An element without attributes keeps thickness 100.
BorderProperties LoadBorderProperties(MXmlNode* element, const RectResolver& resolveRect);

}  // namespace vk2::gui
