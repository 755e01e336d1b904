#include "markup/styles/image_style.h"

#include <cmath>
#include <limits>

#include "markup/parse/identifiers.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/image_source.h"
#include "markup/resources/palette.h"
#include "markup/shapes/shape_group.h"

namespace vk2::markup {

int32_t TruncToInt(double value) {
  // Far beyond any surface side, and still safe to add a surface side to.
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  if (value >= kLimit) return static_cast<int32_t>(kLimit);
  if (value <= -kLimit) return -static_cast<int32_t>(kLimit);
  return static_cast<int32_t>(value);
}

RectI TruncRect(const RectD& r) {
  return {TruncToInt(r.left), TruncToInt(r.top), TruncToInt(r.right), TruncToInt(r.bottom)};
}

ImageStyle::~ImageStyle() = default;

namespace {

int32_t ReadSource(const Element& element, const char16_t* attribute, int32_t fallback) {
  uint64_t code = 0;
  if (!element.HasAttribute(attribute)) return fallback;
  if (!ParseValueSource(element.Attribute(attribute).view(), &code)) return fallback;
  return static_cast<int32_t>(code);
}

double ReadOpacity(const StyleScope& scope, const Element& element) {
  TString text = element.Attribute(u"opacity");
  if (!IsNotBlank(text.view())) return 1.0;
  double value = 1.0;
  if (ParseMarkupNumber(text.view(), &value) == 0) {
    // Not a number: the opacity of a layer of a layered document.
    ImageSourceResult layer;
    value = LoadImageSource(text.view(), scope.Package(), &element, ImageSourceMode::kOpacity, true,
                            &layer)
                ? layer.opacity
                : 1.0;
  }
  if (!(value >= 0.0)) return 0.0;  // NaN too
  return value > 1.0 ? 1.0 : value;
}

double SourceValue(int32_t source, const AnimationParams& p, bool angle) {
  double value;
  switch (source) {
    case kSourceOpacity:
      value = p.opacity;
      break;
    case kSourceAngle:
      value = p.angle / 360.0;
      break;
    case kSourceAnimTime:
      value = p.time;
      break;
    case kSourceZoom:
      value = p.zoom;
      break;
    case kSourcePosition:
      return p.position;
    default:
      value = 1.0;
      break;
  }
  return angle ? value * 360.0 : value;
}

}  // namespace

bool ImageStyle::Parse(const StyleScope& scope, const Element& element, uint64_t defaultBlend) {
  if (!element) return false;
  blend_ = ParseBlendModeAttribute(element, defaultBlend, scope.Package(), scope.collections) |
           kBlendOpacity;
  opacity_ = static_cast<float>(ReadOpacity(scope, element));
  invertBlend_ = element.AttributeBool(u"invert_blend", false);
  states_ = static_cast<uint32_t>(ParseStateAttribute(element)) & 7u;
  if (IsNotBlank(element.Attribute(u"blend_curve").view())) {
    curve_ = ParseBlendCurve(element);
    identityCurve_ = false;
  }
  placement_.Parse(&element, u"offset", u"alignment", scope.Package(), scope.collections);
  clip_ = element.AttributeBool(u"clip", true);
  angleSource_ = ReadSource(element, u"angle_source", kSourceAngle);
  timeSource_ = ReadSource(element, u"animtime_source", kSourceAnimTime);
  zoomSource_ = ReadSource(element, u"zoom_source", kSourceZoom);
  opacitySource_ = ReadSource(element, u"opacity_source", kSourceOpacity);
  TString shapeName = ReadIdentifierAttribute(element, u"shape");
  if (!shapeName.IsEmpty()) {
    shape_ = FindShape(scope.Nested(), shapeName.view());
    if (!shape_)
      ReportMmlError(&element, TString::Format(u"Couldn't find shape: \"%s\"", shapeName));
  }
  return ParseOwn(scope, element);
}

int32_t ImageStyle::DrawOpacity(double x, const AnimationParams& params) const {
  double a = 1.0;
  if (x > 0.0 && x <= 1.0) {
    int32_t index = static_cast<int32_t>(255.0 * x);
    double c = (identityCurve_ ? index : curve_[static_cast<size_t>(index)]) / 255.0;
    a = invertBlend_ ? (x - c) / x : c / x;
  } else if (!(x > 1.0)) {
    a = 0.0;  // x <= 0, and NaN
  }
  double result = a * SourceValue(opacitySource_, params, false) * opacity_ * 256.0;
  if (!(result > 0.0)) return 0;
  return result >= 256.0 ? 256 : static_cast<int32_t>(result);
}

double ImageStyle::AngleValue(const AnimationParams& params) const {
  return SourceValue(angleSource_, params, true);
}
double ImageStyle::TimeValue(const AnimationParams& params) const {
  return SourceValue(timeSource_, params, false);
}
double ImageStyle::ZoomValue(const AnimationParams& params) const {
  return SourceValue(zoomSource_, params, false);
}

bool ImageStyle::Draw(const RectI& rect, MCanvas* canvas, uint32_t states,
                      const AnimationParams& params, double blend) {
  if (!canvas || (states & states_) == 0) return false;
  RectD placed = placement_.Resolve(ToRectD(rect));
  bool pushed = false;
  if (clip_) {
    // A requested push always happens (also when the clip ends up empty), so the pop pairs.
    pushed = true;
    if (shape_)
      pushed = shape_->ClipCanvas(rect, canvas, kClipIntersect, 1);
    else
      canvas->PushClipRect(rect, kClipIntersect, 1);
  }
  bool drew = DrawOwn(placed, canvas, params, DrawOpacity(blend, params));
  if (pushed) canvas->PopClip(1);
  return drew;
}

}  // namespace vk2::markup
