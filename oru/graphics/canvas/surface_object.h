// Surfaces the runtime hands out: pixels it owns, in one of the three formats.
#pragma once

#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/surface.h"

namespace vk2::gfx {

// A cleared (transparent, or unset) surface. kErrOutOfRange for a side beyond kMaxSurfaceSide or
// below 0, kErrOutOfMemory when the pixels cannot be had.
int32_t CreateSurface(int32_t width, int32_t height, PixelFormat format, RefPtr<MSurface>* surface);

// Bytes per row the kit gives a surface of this width and format.
int32_t SurfaceStride(int32_t width, PixelFormat format);

}  // namespace vk2::gfx
