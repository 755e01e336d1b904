// The per-channel arithmetic of every blend operation, on straight 0-255 values.
#pragma once

#include <cstdint>

namespace vk2::gfx {

// Result of operation `op` (a BlendOp) for source value s and destination value d; `srcLum` and
// `dstLum` are the luminances of the two whole pixels (the normalised colorize operations).
// An unknown operation gives s (a copy).
uint32_t ApplyChannelOp(uint32_t op, uint32_t s, uint32_t d, uint32_t srcLum, uint32_t dstLum);

}  // namespace vk2::gfx
