// A plain surface that owns its pixels: the per-thread scratch image.
#pragma once

#include "component/object/com_object.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/ids.h"
#include "oru/graphics/images/pixel_image.h"

namespace vk2::oru {

class ScratchSurface final : public ComObject<ScratchSurface, Face<MSurface, kIID_MSurface>> {
 public:
  ScratchSurface() = default;

  int32_t GetView(SurfaceView* view) override;
  int32_t Resize(int32_t width, int32_t height) override;

 private:
  ~ScratchSurface() override = default;
  PixelBuffer pixels_;
};

}  // namespace vk2::oru
