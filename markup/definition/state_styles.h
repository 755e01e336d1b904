// Composing a background and state image styles blended by weights: how markup windows and
// controls draw their normal, hit and hover looks, cross-faded by how much of each state they
// are in.
#pragma once

#include <cstdint>

#include "interfaces/markup/window_definition.h"

namespace vk2::markup {

struct StateStyleSet {
  MImageStyleDrawing* background = nullptr;
  MImageStyleDrawing* const* styles = nullptr;  // entries may be null
  int32_t count = 0;
  const double* weights = nullptr;  // three per style: normal, hit, hover; null for none
  int32_t weightCount = 0;          // doubles in `weights`
};

// True when anything reached the canvas.
//
// Without weights the background is drawn, then the normal look of state style 0 (a window that
// is never weighted still shows its first state style). With weights, each weighted style is
// drawn into a cleared scratch image (over the background and, when composite, the canvas's own
// pixels) and cross-faded onto the canvas; the background fills what the weights leave, also
// when no weighted style drew at all.
bool DrawStateStyles(const RectI& rect, MCanvas* canvas, const StateStyleSet& set, bool composite,
                     double opacity, const VisualParameters& params);

}  // namespace vk2::markup
