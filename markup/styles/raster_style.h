// The raster primitive: an image of the package drawn once, tiled, as a nine-slice, stretched or
// rotated, optionally one frame of a horizontal film strip chosen by the animation time, with a
// cross-fade between neighbouring frames.
#pragma once

#include <vector>

#include "markup/resources/palette.h"
#include "markup/styles/image_style.h"

namespace vk2::markup {

enum RasterFillMode : int32_t {
  kFillOnce = 0,
  kFillTile = 1,
  kFillResize = 2,
  kFillResizeNoCorner = 3,
  kFillResizeCornerOnly = 4,
  kFillStretch = 5,
  kFillRotate = 6,
  kFillRotateTile = 7,
};

class RasterStyle final : public ImageStyle {
 public:
  static RefPtr<ImageStyle> Make();

  // The frame shown at animation time `t` and the fraction r toward the next one; false when
  // the strip shows nothing.
  bool ChooseFrame(double t, int32_t* frame, double* fraction) const;
  int32_t FrameWidth() const { return static_cast<int32_t>(frameWidth_); }
  int32_t FillMode() const { return fillMode_; }

 private:
  RasterStyle() = default;
  bool ParseOwn(const StyleScope& scope, const Element& element) override;
  bool DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
               int32_t opacity) override;
  void DrawSource(const BlitSource& source, const RectI& p, MCanvas* canvas,
                  const AnimationParams& params, int32_t opacity);
  void DrawTiles(const BlitSource& source, const RectI& p, MCanvas* canvas, int32_t opacity);
  void DrawNineSlice(const BlitSource& source, const RectI& p, MCanvas* canvas, int32_t opacity);
  void DrawRotated(const BlitSource& source, const RectI& p, MCanvas* canvas,
                   const AnimationParams& params, int32_t opacity);

  RefPtr<MRasterImage> image_;
  int32_t offsetX_ = 0, offsetY_ = 0;
  int32_t fillMode_ = kFillOnce;
  RectI32 inner_, outer_;
  SizeI32 tile_;
  double zoom_ = 1.0, angleDirection_ = 1.0, angle_ = 0.0;
  AnchoredPoint destCenter_, sourceCenter_;
  RefPtr<Palette> palette_;
  bool blendFrames_ = false;
  uint32_t frames_ = 1;
  uint32_t frameWidth_ = 0;
};

// Mixes two premultiplied ARGB (or, through `palette`, index) frames of equal size into `out`
// (width x height, premultiplied): out = a + (b - a) * weight / 256, per channel.
void CrossFadeFrames(const SurfaceView& a, const SurfaceView& b, const uint32_t* palette,
                     int32_t weight, uint32_t* out);

}  // namespace vk2::markup
