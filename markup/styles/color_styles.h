// The colour primitives: color_fill, color_rect, color_ellipse, color_point, color_line.
#pragma once

#include "markup/styles/image_style.h"

namespace vk2::markup {

// One colour and the canvas call of its kind.
class ColorStyle final : public ImageStyle {
 public:
  enum class Kind { kFill, kRect, kEllipse, kPoint, kLine };
  static RefPtr<ImageStyle> Make(Kind kind);

 private:
  explicit ColorStyle(Kind kind) : kind_(kind) {}
  bool ParseOwn(const StyleScope& scope, const Element& element) override;
  bool DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
               int32_t opacity) override;

  Kind kind_;
  uint32_t color_ = 0xFF000000;
  float thickness_ = 1.0f;
  bool filled_ = false;
  float cornerRadius_ = 0.0f;
  bool rounded_ = false;
  bool antialiased_ = false;
};

}  // namespace vk2::markup
