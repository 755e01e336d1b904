// The canvas: draws on one colour surface with 64-bit blend codes. The layout of a blend code,
// the canvas's own bits, clip modes and the generated-fill records are fixed in
// oru/graphics/README.md. Opacity arguments run from 0 (nothing) to 256 (full) and count only
// when the code has kBlendOpacity set. Colours are straight 0xAARRGGBB.
#pragma once

#include <cstdint>

#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Bits of a blend code beyond the keyword tables' fields.
inline constexpr uint64_t kBlendOpacity = 1ull << 44;         // apply the opacity argument
inline constexpr uint64_t kBlendBilinear = 1ull << 48;        // filter stretched and rotated blits
inline constexpr uint64_t kBlendRotateTile = 1ull << 49;      // rotated blit repeats its source
inline constexpr uint64_t kBlendDither = 1ull << 56;          // dither palette gradients
inline constexpr uint64_t kBlendFourPointPlain = 1ull << 57;  // four-point fill without dither

// Clip and mask combine modes.
enum ClipMode : int32_t {
  kClipReplace = 1,
  kClipUnion = 2,
  kClipIntersect = 3,
  kClipDifference = 4,  // the current area less the new one
  kClipXor = 5,
};

// Generated-fill kinds and their records (the palette, when the kind takes one, is passed
// beside the record as 256 straight colours; entry 0 at the start of the gradient).
enum GeneratedFillKind : int32_t {
  kFillRadial = 5,     // sweeps around a centre between two angles
  kFillCircular = 6,   // rings from a centre out to a radius
  kFillLinear = 7,     // bands across an angle
  kFillFourPoint = 8,  // bilinear blend of four corner colours, no palette
};

struct FillRecordHead {
  uint64_t code = 0;
  int32_t opacity = 256;
  int32_t reserved = 0;
};
// Angles are 16-bit binary angles (65536 per turn, counter-clockwise with y up, so a positive
// angle turns from +x toward -y on screen); centres are relative to the fill rectangle.
struct LinearFillRecord {
  FillRecordHead head;
  int32_t angle = 0;
  int32_t spread = 0x10000;  // 16.16: how many palette sweeps span the rectangle
};
struct CircularFillRecord {
  FillRecordHead head;
  int32_t centerX = 0;
  int32_t centerY = 0;
  int32_t radius = 100;
};
struct RadialFillRecord {
  FillRecordHead head;
  int32_t centerX = 0;
  int32_t centerY = 0;
  int32_t startAngle = 0;
  int32_t endAngle = 0;
  uint8_t direction = 1;
};
struct FourPointFillRecord {
  uint64_t code = 0;
  uint32_t colors[4] = {};  // upper-left, upper-right, lower-left, lower-right
};

// Source arguments shared by the blits: the pixels, the part of them to read, and for index
// surfaces the palette (null: a grey ramp).
struct BlitSource {
  SurfaceView view;
  RectI rect;
  const uint32_t* palette = nullptr;
};

struct RotateArgs {
  double destCenterX = 0;
  double destCenterY = 0;
  double sourceCenterX = 0;  // in source pixels, relative to the source view's origin
  double sourceCenterY = 0;
  double scaleX = 1;
  double scaleY = 1;
  double angle = 0;  // radians, counter-clockwise on screen
};

class MCanvas : public MUnknown {
 public:
  // The surface drawn on.
  virtual int32_t GetTarget(SurfaceView* view) = 0;
  // True when the canvas dithers gradients (the user's dithering setting).
  virtual bool IsDithering() = 0;

  virtual int32_t FillRect(const RectF& rect, uint32_t color, uint64_t code, int32_t opacity,
                           bool antialias) = 0;
  virtual int32_t FrameRect(const RectF& rect, double thicknessX, double thicknessY, uint32_t color,
                            uint64_t code, int32_t opacity, bool antialias) = 0;
  virtual int32_t FillRoundRect(const RectF& rect, double radiusX, double radiusY, uint32_t color,
                                uint64_t code, int32_t opacity, bool antialias) = 0;
  virtual int32_t FrameRoundRect(const RectF& rect, double radiusX, double radiusY,
                                 double thickness, uint32_t color, uint64_t code, int32_t opacity,
                                 bool antialias) = 0;
  virtual int32_t Ellipse(double centerX, double centerY, double radiusX, double radiusY,
                          uint32_t color, bool filled, uint64_t code, double thickness,
                          int32_t opacity, bool antialias) = 0;
  virtual int32_t Line(double x0, double y0, double x1, double y1, uint32_t color, uint64_t code,
                       double thickness, int32_t opacity, bool antialias) = 0;
  virtual int32_t Point(double x, double y, uint32_t color, uint64_t code, int32_t opacity,
                        bool antialias) = 0;
  // `record` is the struct of `kind`; `palette` 256 entries (ignored by kFillFourPoint).
  virtual int32_t GeneratedFill(int32_t kind, const RectI& rect, const void* record,
                                const uint32_t* palette) = 0;

  // The source rectangle lands with its top-left at (destX, destY).
  virtual int32_t Blit(const BlitSource& source, int32_t destX, int32_t destY, uint64_t code,
                       int32_t opacity) = 0;
  virtual int32_t StretchBlit(const BlitSource& source, const RectI& dest, uint64_t code,
                              int32_t opacity) = 0;
  // Repeats the source rectangle over `dest`, its first copy at (dest.left + offsetX, ...).
  virtual int32_t TileBlit(const BlitSource& source, const RectI& dest, int32_t offsetX,
                           int32_t offsetY, uint64_t code, int32_t opacity) = 0;
  virtual int32_t RotateBlit(const BlitSource& source, const RotateArgs& args, uint64_t code,
                             int32_t opacity) = 0;
  // An 8-bit coverage map (glyphs) in `color` at (destX, destY); `coverage` is kIndex8.
  virtual int32_t FillCoverage(const SurfaceView& coverage, int32_t destX, int32_t destY,
                               uint32_t color, uint64_t code, int32_t opacity) = 0;

  // Clips combine with the current clip by `mode`; `push` nonzero saves the current clip first
  // so that PopClip restores it. Answer 1 when anything stays visible, else 0.
  virtual int32_t PushClipRect(const RectI& rect, int32_t mode, int32_t push) = 0;
  // `mask` is kMask1, placed with its origin at (originX, originY).
  virtual int32_t ClipToMask(const SurfaceView& mask, int32_t originX, int32_t originY,
                             int32_t mode, int32_t push) = 0;
  // Restores `count` saved clips (fewer when fewer are saved).
  virtual int32_t PopClip(int32_t count) = 0;
  virtual int32_t GetClipBounds(RectI* bounds) = 0;

  // Collects a rectangle into the damaged area the host presents; see the README.
  virtual int32_t MarkDamage(const RectI& rect, uint32_t channels, uint32_t blend) = 0;
  virtual int32_t TakeDamage(RectI* bounds) = 0;

 protected:
  ~MCanvas() = default;
};

}  // namespace vk2
