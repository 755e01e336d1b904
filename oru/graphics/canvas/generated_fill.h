// The generated fills: colours computed per pixel of a fill rectangle, from a 256-entry palette
// (linear, circular, radial) or four corner colours (four-point).
#pragma once

#include <cstdint>

#include "interfaces/graphics/canvas.h"
#include "oru/graphics/canvas/blit_sampler.h"

namespace vk2::gfx {

// Fills `block` (its area, inside `rect`, set by the caller) for the fill of `kind`; `record`
// is that kind's record. False for an unknown kind or a missing palette.
bool RenderGeneratedFill(int32_t kind, const RectI& rect, const void* record,
                         const uint32_t* palette, bool dither, PixelBlock* block);

// The code and opacity a fill's record carries (four-point fills: opacity 256).
void FillRecordCode(int32_t kind, const void* record, uint64_t* code, int32_t* opacity);

}  // namespace vk2::gfx
