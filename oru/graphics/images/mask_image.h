// The mask object over a 1-bit surface; the pixel work is the canvas side's mask operations.
#pragma once

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"

namespace vk2::oru {

class MaskImage final : public ComObject<MaskImage, Face<MMaskImage, kIID_MMaskImage>> {
 public:
  // An empty mask; kErrOutOfRange for a side beyond the limit.
  static int32_t Create(int32_t width, int32_t height, RefPtr<MaskImage>* out);

  int32_t GetView(SurfaceView* view) override;
  int32_t CombineRect(const RectI& rect, int32_t mode) override;
  int32_t CombineRoundRect(const RectI& rect, int32_t cornerWidth, int32_t cornerHeight,
                           int32_t mode) override;
  int32_t CombineEllipse(const RectI& rect, int32_t mode) override;
  int32_t CombineMask(MMaskImage* other, int32_t dx, int32_t dy, int32_t mode) override;
  int32_t Value(int32_t x, int32_t y) override;

 private:
  explicit MaskImage(RefPtr<MSurface> surface, SurfaceView view)
      : surface_(std::move(surface)), view_(view) {}
  ~MaskImage() override = default;

  RefPtr<MSurface> surface_;
  SurfaceView view_;
};

}  // namespace vk2::oru
