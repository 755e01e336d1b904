#include "markup/styles/gradient_styles.h"

#include <cmath>
#include <new>

namespace vk2::markup {
namespace {

// A 16-bit binary angle (65536 per turn) of an angle in radians.
int32_t BinaryAngle(double radians) {
  double turns = std::fmod(radians * kRadiansToBinaryAngle, 65536.0);
  return TruncToInt(turns) & 0xFFFF;
}

}  // namespace

RefPtr<ImageStyle> GradientStyle::Make(Kind kind) {
  return RefPtr<ImageStyle>(new (std::nothrow) GradientStyle(kind));
}

bool GradientStyle::ParseOwn(const StyleScope& scope, const Element& element) {
  switch (kind_) {
    case Kind::kFourPoint: {
      const char16_t* names[4] = {u"color_ul", u"color_ur", u"color_ll", u"color_lr"};
      for (int32_t i = 0; i < 4; ++i) {
        uint32_t color = 0xFF000000;
        // Not a colour falls back silently.
        if (ParseColor(element.Attribute(names[i]).view(), &color, nullptr, scope.collections) <= 0)
          color = 0xFF000000;
        corners_[i] = color;
      }
      return true;
    }
    case Kind::kLinear:
      angle_ = element.AttributeNumber(u"angle", 0.0) * kDegreesToRadians;
      spread_ = element.AttributeNumber(u"spread", 1.0);
      break;
    case Kind::kCircular:
      radius_ = TruncToInt(element.AttributeNumber(u"radius", 100.0));
      center_.Parse(&element, u"center_offset", u"center_alignment", scope.Package(),
                    scope.collections);
      break;
    case Kind::kRadial:
      angleStart_ = element.AttributeNumber(u"angle_start", 0.0);
      angleEnd_ = element.AttributeNumber(u"angle_end", 0.0);
      angleDirection_ = element.AttributeNumber(u"angle_direction", 1.0);
      center_.Parse(&element, u"center_offset", u"center_alignment", scope.Package(),
                    scope.collections);
      break;
  }
  palette_ = ParsePalette(element, scope.collections, true);
  return palette_ != nullptr;
}

bool GradientStyle::DrawFourPoint(const RectI& rect, MCanvas* canvas, int32_t opacity) {
  FourPointFillRecord record;
  record.code = BlendCode();
  if (!canvas->IsDithering()) record.code |= kBlendFourPointPlain;
  for (int32_t i = 0; i < 4; ++i)
    record.colors[i] = corners_[i];
  // The four-point fill takes no opacity: it goes into the corners' alpha instead.
  if (record.code & kBlendOpacity) {
    if (opacity == 0) return true;
    for (uint32_t& color : record.colors) {
      uint32_t alpha = ((color >> 24) * static_cast<uint32_t>(opacity)) >> 8;
      color = (alpha << 24) | (color & 0x00FFFFFF);
    }
    record.code &= ~kBlendOpacity;
  }
  canvas->GeneratedFill(kFillFourPoint, rect, &record, nullptr);
  return true;
}

bool GradientStyle::DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
                            int32_t opacity) {
  RectI rect = TruncRect(placed);
  if (rect.Empty()) return false;
  if (kind_ == Kind::kFourPoint) return DrawFourPoint(rect, canvas, opacity);
  FillRecordHead head;
  head.code = BlendCode() | (canvas->IsDithering() ? kBlendDither : 0);
  head.opacity = opacity;
  const uint32_t* palette = palette_->Entries();
  PointD center = center_.Resolve(ToRectD(rect));
  switch (kind_) {
    case Kind::kLinear: {
      LinearFillRecord record;
      record.head = head;
      record.angle = BinaryAngle(angle_);
      record.spread = TruncToInt(spread_ * 65536.0);
      canvas->GeneratedFill(kFillLinear, rect, &record, palette);
      break;
    }
    case Kind::kCircular: {
      CircularFillRecord record;
      record.head = head;
      record.centerX = TruncToInt(center.x);
      record.centerY = TruncToInt(center.y);
      record.radius = radius_;
      canvas->GeneratedFill(kFillCircular, rect, &record, palette);
      break;
    }
    case Kind::kRadial: {
      double a = AngleValue(params);
      RadialFillRecord record;
      record.head = head;
      record.centerX = TruncToInt(center.x);
      record.centerY = TruncToInt(center.y);
      record.startAngle = BinaryAngle((a + angleStart_) * kDegreesToRadians * angleDirection_);
      record.endAngle = BinaryAngle((a + angleEnd_) * kDegreesToRadians * angleDirection_);
      record.direction = 1;
      canvas->GeneratedFill(kFillRadial, rect, &record, palette);
      break;
    }
    case Kind::kFourPoint:
      break;
  }
  return true;
}

}  // namespace vk2::markup
