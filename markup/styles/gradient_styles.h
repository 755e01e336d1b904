// The gradient primitives: gradient_fourpoint, gradient_linear, gradient_circular and
// gradient_radial, drawn by the canvas's generated fills.
#pragma once

#include "markup/resources/palette.h"
#include "markup/styles/image_style.h"

namespace vk2::markup {

class GradientStyle final : public ImageStyle {
 public:
  enum class Kind { kFourPoint, kLinear, kCircular, kRadial };
  static RefPtr<ImageStyle> Make(Kind kind);

 private:
  explicit GradientStyle(Kind kind) : kind_(kind) {}
  bool ParseOwn(const StyleScope& scope, const Element& element) override;
  bool DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
               int32_t opacity) override;
  bool DrawFourPoint(const RectI& rect, MCanvas* canvas, int32_t opacity);

  Kind kind_;
  uint32_t corners_[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
  double angle_ = 0;  // radians
  double spread_ = 1.0;
  int32_t radius_ = 100;
  double angleStart_ = 0, angleEnd_ = 0, angleDirection_ = 1.0;
  AnchoredPoint center_;
  RefPtr<Palette> palette_;
};

}  // namespace vk2::markup
