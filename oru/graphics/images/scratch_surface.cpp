#include "oru/graphics/images/scratch_surface.h"

#include "foundation/util/result.h"

namespace vk2::oru {

int32_t ScratchSurface::GetView(SurfaceView* view) {
  if (!view) return kErrMissingArg;
  *view = pixels_.View();
  return kOk;
}

int32_t ScratchSurface::Resize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
    return kErrOutOfRange;
  }
  if (width == 0 || height == 0) {
    pixels_ = PixelBuffer{};
    return kOk;
  }
  PixelBuffer next;
  if (!next.Allocate(width, height, PixelFormat::kArgb32)) return kErrOutOfMemory;
  pixels_ = std::move(next);
  return kOk;
}

}  // namespace vk2::oru
