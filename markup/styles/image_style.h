// The base of every image-style primitive: the attributes all of them share (blend code,
// opacity, state mask, blend curve, placement, clipping, value sources, shape), the opacity
// rule and the frame every Draw runs in (state test, placement, clip, pop).
#pragma once

#include <array>
#include <cstdint>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/canvas.h"
#include "markup/dom/element.h"
#include "markup/parse/value_parsers.h"
#include "markup/shapes/shape_group.h"
#include "markup/styles/style_scope.h"

namespace vk2::markup {

// The animation parameters every Draw is handed; windows fill them from their visual
// parameters.
struct AnimationParams {
  float opacity = 1.0f;   // [0]
  float angle = 0.0f;     // [1] degrees
  float time = 0.0f;      // [2]
  float zoom = 1.0f;      // [3]
  float position = 0.0f;  // [4]
};

// State bits of the mask a window paints with.
inline constexpr uint32_t kStateNormal = 1;
inline constexpr uint32_t kStateHover = 2;
inline constexpr uint32_t kStateHit = 4;

// Value sources (the keyword table's codes).
enum ValueSource : int32_t {
  kSourceAnimTime = 0,
  kSourceAngle = 1,
  kSourceOpacity = 2,
  kSourceZoom = 3,
  kSourcePosition = 4,
};

// Default blend code of a group's primitives: COPY of every channel.
inline constexpr uint64_t kStyleDefaultBlend = 0xF;
// Degrees to radians as the markup writes it, and radians to 16-bit binary angles.
inline constexpr double kDegreesToRadians = 0.017453292;
inline constexpr double kRadiansToBinaryAngle = 10430.378352428621;

// Truncates toward zero into int32 range; NaN gives 0, so no document can overflow a cast.
int32_t TruncToInt(double value);
RectI TruncRect(const RectD& rect);
inline RectD ToRectD(const RectI& r) {
  return {static_cast<double>(r.left), static_cast<double>(r.top), static_cast<double>(r.right),
          static_cast<double>(r.bottom)};
}

class ImageStyle : public ComObject<ImageStyle, SilentFace<MUnknown>> {
 public:
  // Reads the common attributes, then the primitive's own; false for a missing element or a
  // primitive that cannot be used (a raster whose image does not load).
  bool Parse(const StyleScope& scope, const Element& element, uint64_t defaultBlend);
  // Draws into `rect` when `states` shares a bit with the primitive's; see the README.
  bool Draw(const RectI& rect, MCanvas* canvas, uint32_t states, const AnimationParams& params,
            double blend);
  uint32_t GetStates() const { return states_; }

  // The opacity of one draw (0..256) for the blend value `blend`.
  int32_t DrawOpacity(double blend, const AnimationParams& params) const;
  double Opacity() const { return opacity_; }
  uint64_t BlendCode() const { return blend_; }

 protected:
  ImageStyle() = default;
  ~ImageStyle() override;

  virtual bool ParseOwn(const StyleScope& scope, const Element& element) = 0;
  // `placed` is the rectangle after placement; `opacity` the draw's 0..256.
  virtual bool DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
                       int32_t opacity) = 0;

  // The value of a quantity through its source: the angle in degrees, the others as given.
  double AngleValue(const AnimationParams& params) const;
  double TimeValue(const AnimationParams& params) const;
  double ZoomValue(const AnimationParams& params) const;
  const AnchoredRect& Placement() const { return placement_; }
  void SetBlendBits(uint64_t bits) { blend_ |= bits; }

 private:
  uint64_t blend_ = 0;
  float opacity_ = 1.0f;
  std::array<uint8_t, 256> curve_{};
  bool identityCurve_ = true;
  RefPtr<ShapeGroup> shape_;
  AnchoredRect placement_;
  uint32_t states_ = kStateNormal;
  bool invertBlend_ = false;
  bool clip_ = true;
  int32_t angleSource_ = kSourceAngle;
  int32_t timeSource_ = kSourceAnimTime;
  int32_t opacitySource_ = kSourceOpacity;
  int32_t zoomSource_ = kSourceZoom;
};

}  // namespace vk2::markup
