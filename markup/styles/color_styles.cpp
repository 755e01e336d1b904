#include "markup/styles/color_styles.h"

#include <new>

#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

// Level of the console warnings about colours.
constexpr int32_t kConsoleWarning = 6;

const char16_t* InvalidColorWarning(ColorStyle::Kind kind) {
  switch (kind) {
    case ColorStyle::Kind::kFill:
      return u"Warning: color_fill ImageStyle had invalid colour\n";
    case ColorStyle::Kind::kRect:
      return u"Warning: color_rect ImageStyle had invalid colour\n";
    case ColorStyle::Kind::kEllipse:
      return u"Warning: colorellipse ImageStyle had invalid colour\n";
    case ColorStyle::Kind::kPoint:
      return u"Warning: colorpoint ImageStyle had invalid colour\n";
    case ColorStyle::Kind::kLine:
      break;
  }
  return u"Warning: colorline ImageStyle had invalid colour\n";
}

}  // namespace

RefPtr<ImageStyle> ColorStyle::Make(Kind kind) {
  return RefPtr<ImageStyle>(new (std::nothrow) ColorStyle(kind));
}

bool ColorStyle::ParseOwn(const StyleScope& scope, const Element& element) {
  color_ = 0xFF000000;
  if (element.HasAttribute(u"color") &&
      ParseColor(element.Attribute(u"color").view(), &color_, &element, scope.collections) <= 0) {
    WriteConsole(kConsoleWarning, TString(InvalidColorWarning(kind_)));
    color_ = 0xFF000000;
  }
  thickness_ = static_cast<float>(element.AttributeNumber(u"thickness", 1.0));
  filled_ = element.AttributeBool(u"filled", false);
  if (kind_ == Kind::kRect) {
    cornerRadius_ = static_cast<float>(element.AttributeNumber(u"cornerradius", 0.0));
    rounded_ = cornerRadius_ != 0.0f;
    antialiased_ = element.AttributeBool(u"antialiased", rounded_);
  } else {
    antialiased_ = element.AttributeBool(u"antialiased", false);
  }
  return true;
}

bool ColorStyle::DrawOwn(const RectD& p, MCanvas* canvas, const AnimationParams&, int32_t opacity) {
  const uint64_t b = BlendCode();
  const RectF rect{p.left, p.top, p.right, p.bottom};
  const double cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
  switch (kind_) {
    case Kind::kFill:
      canvas->FillRect(rect, color_, b, opacity, false);
      break;
    case Kind::kRect:
      if (rounded_ && cornerRadius_ != 0.0f) {
        if (filled_)
          canvas->FillRoundRect(rect, cornerRadius_, cornerRadius_, color_, b, opacity,
                                antialiased_);
        else
          canvas->FrameRoundRect(rect, cornerRadius_, cornerRadius_, thickness_, color_, b, opacity,
                                 antialiased_);
      } else if (filled_) {
        canvas->FillRect(rect, color_, b, opacity, antialiased_);
      } else {
        canvas->FrameRect(rect, thickness_, thickness_, color_, b, opacity, antialiased_);
      }
      break;
    case Kind::kEllipse: {
      // The radii leave twice the thickness free at each side, filled or not.
      double rx = p.Width() / 2 - 2 * thickness_, ry = p.Height() / 2 - 2 * thickness_;
      if (rx > 0 && ry > 0)
        canvas->Ellipse(cx, cy, rx, ry, color_, filled_, b, thickness_, opacity, true);
      break;
    }
    case Kind::kPoint:
      canvas->Point(cx, cy, color_, b, opacity, antialiased_);
      break;
    case Kind::kLine:
      canvas->Line(p.left, p.top, p.right, p.bottom, color_, b, thickness_, opacity, antialiased_);
      break;
  }
  return true;
}

}  // namespace vk2::markup
