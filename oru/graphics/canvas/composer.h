// Puts pixels on the target: every drawing operation ends here with an area, a source (one
// colour or premultiplied pixels), optional coverage, a blend code and an opacity. The clip
// narrows the area and multiplies into the coverage; pixman composes what its operators cover,
// the blend program the rest.
#pragma once

#include <cstdint>

#include "interfaces/graphics/surface.h"
#include "oru/graphics/canvas/clip_stack.h"
#include "oru/graphics/canvas/coverage_rasterizer.h"

namespace vk2::gfx {

struct ComposeSource {
  uint32_t solid = 0;                // premultiplied; used when `pixels` is null
  const uint32_t* pixels = nullptr;  // premultiplied ARGB
  int32_t strideBytes = 0;
  // Target pixel (x, y) reads source pixel (x - originX, y - originY).
  int32_t originX = 0;
  int32_t originY = 0;
};

// `coverage` null: full coverage over `area`.
void Compose(const SurfaceView& target, const ClipState& clip, const RectI& area,
             const ComposeSource& source, const CoverageMap* coverage, uint64_t code,
             int32_t opacity);

}  // namespace vk2::gfx
