#include "oru/graphics/canvas/surface_object.h"

#include <new>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/graphics/canvas/mask_ops.h"

namespace vk2::gfx {
namespace {

class SurfaceObject final : public ComObject<SurfaceObject, Face<MSurface, kIID_MSurface>> {
 public:
  explicit SurfaceObject(PixelFormat format) : format_(format) {}

  int32_t GetView(SurfaceView* view) override {
    if (!view) return kErrMissingArg;
    *view = SurfaceView{pixels_.empty() ? nullptr : pixels_.data(), width_, height_,
                        SurfaceStride(width_, format_), format_};
    return kOk;
  }

  int32_t Resize(int32_t width, int32_t height) override {
    if (width < 0 || height < 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
      return kErrOutOfRange;
    }
    try {
      std::vector<uint8_t> fresh(static_cast<size_t>(SurfaceStride(width, format_)) * height, 0);
      pixels_.swap(fresh);
    } catch (const std::bad_alloc&) {
      return kErrOutOfMemory;
    }
    width_ = width;
    height_ = height;
    return kOk;
  }

 private:
  PixelFormat format_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace

int32_t SurfaceStride(int32_t width, PixelFormat format) {
  switch (format) {
    case PixelFormat::kArgb32:
      return width * 4;
    case PixelFormat::kIndex8:
      return (width + 3) & ~3;
    default:
      return MaskStride(width);
  }
}

int32_t CreateSurface(int32_t width, int32_t height, PixelFormat format,
                      RefPtr<MSurface>* surface) {
  if (!surface) return kErrMissingArg;
  RefPtr<SurfaceObject> object(new SurfaceObject(format));
  const int32_t r = object->Resize(width, height);
  if (Failed(r)) return r;
  *surface = RefPtr<MSurface>(object.Get());
  return kOk;
}

}  // namespace vk2::gfx
