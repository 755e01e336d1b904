#include "oru/graphics/images/mask_image.h"

#include <new>

#include "foundation/util/result.h"
#include "oru/graphics/canvas/mask_ops.h"
#include "oru/graphics/canvas/surface_object.h"

namespace vk2::oru {
namespace {

int32_t Answer(bool done) {
  return done ? kOk : kErrOutOfRange;  // the mask operations refuse only unknown modes
}

}  // namespace

int32_t MaskImage::Create(int32_t width, int32_t height, RefPtr<MaskImage>* out) {
  if (width <= 0 || height <= 0) return kErrOutOfRange;
  RefPtr<MSurface> surface;
  const int32_t r = gfx::CreateSurface(width, height, PixelFormat::kMask1, &surface);
  if (r < 0) return r;
  SurfaceView view;
  surface->GetView(&view);
  *out = RefPtr<MaskImage>(new (std::nothrow) MaskImage(std::move(surface), view));
  return *out ? kOk : kErrOutOfMemory;
}

int32_t MaskImage::GetView(SurfaceView* view) {
  if (!view) return kErrMissingArg;
  *view = view_;
  return kOk;
}

int32_t MaskImage::CombineRect(const RectI& rect, int32_t mode) {
  return Answer(gfx::CombineMaskRect(view_, rect, mode));
}

int32_t MaskImage::CombineRoundRect(const RectI& rect, int32_t cornerWidth, int32_t cornerHeight,
                                    int32_t mode) {
  return Answer(gfx::CombineMaskRoundRect(view_, rect, cornerWidth, cornerHeight, mode));
}

int32_t MaskImage::CombineEllipse(const RectI& rect, int32_t mode) {
  return Answer(gfx::CombineMaskEllipse(view_, rect, mode));
}

int32_t MaskImage::CombineMask(MMaskImage* other, int32_t dx, int32_t dy, int32_t mode) {
  if (!other) return kErrMissingArg;
  SurfaceView view;
  if (other->GetView(&view) < 0 || view.format != PixelFormat::kMask1) return kErrBadData;
  return Answer(gfx::CombineMasks(view_, view, dx, dy, mode));
}

int32_t MaskImage::Value(int32_t x, int32_t y) {
  return gfx::MaskValue(view_, x, y);
}

}  // namespace vk2::oru
