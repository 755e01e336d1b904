#include "oru/graphics/canvas/canvas_object.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/graphics/canvas/blend_code.h"
#include "oru/graphics/canvas/blend_program.h"
#include "oru/graphics/canvas/blit_sampler.h"
#include "oru/graphics/canvas/clip_stack.h"
#include "oru/graphics/canvas/composer.h"
#include "oru/graphics/canvas/coverage_rasterizer.h"
#include "oru/graphics/canvas/generated_fill.h"
#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/canvas/shape_contours.h"

namespace vk2::gfx {
namespace {

bool Finite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// Whether the sides' lengths fit in 32 bits, so the rectangle's arithmetic cannot overflow.
bool SaneRect(const RectI& r) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  return int64_t{r.right} - r.left <= kMax && int64_t{r.bottom} - r.top <= kMax;
}

bool IsWhole(double v) {
  return v == std::floor(v);
}

// Pixels whose centres lie inside: what a rectangle covers without antialiasing.
RectI CentreRect(const RectF& r) {
  auto edge = [](double v) {
    return static_cast<int32_t>(std::clamp(std::floor(v + 0.5), -1e9, 1e9));
  };
  return RectI{edge(r.left), edge(r.top), edge(r.right), edge(r.bottom)};
}

class CanvasObject final : public ComObject<CanvasObject, Face<MCanvas, kIID_MCanvas>> {
 public:
  CanvasObject(const SurfaceView& target, MSurface* owner)
      : owner_(owner), target_(target), clip_(target.width, target.height) {}

  void SetDithering(bool on) { dithering_ = on; }

  int32_t GetTarget(SurfaceView* view) override {
    if (!view) return kErrMissingArg;
    *view = target_;
    return kOk;
  }
  bool IsDithering() override { return dithering_; }

  int32_t FillRect(const RectF& rect, uint32_t color, uint64_t code, int32_t opacity,
                   bool antialias) override {
    if (!Finite({rect.left, rect.top, rect.right, rect.bottom})) return kErrOutOfRange;
    if (!antialias ||
        (IsWhole(rect.left) && IsWhole(rect.top) && IsWhole(rect.right) && IsWhole(rect.bottom))) {
      Compose(target_, clip_.Current(), CentreRect(rect), Solid(color), nullptr, code, opacity);
      return kOk;
    }
    return FillContours({RectContour(rect)}, color, code, opacity, true);
  }

  int32_t FrameRect(const RectF& rect, double thicknessX, double thicknessY, uint32_t color,
                    uint64_t code, int32_t opacity, bool antialias) override {
    return FillContours(FrameRectContours(rect, thicknessX, thicknessY), color, code, opacity,
                        antialias);
  }

  int32_t FillRoundRect(const RectF& rect, double radiusX, double radiusY, uint32_t color,
                        uint64_t code, int32_t opacity, bool antialias) override {
    return FillContours({RoundRectContour(rect, radiusX, radiusY)}, color, code, opacity,
                        antialias);
  }

  int32_t FrameRoundRect(const RectF& rect, double radiusX, double radiusY, double thickness,
                         uint32_t color, uint64_t code, int32_t opacity, bool antialias) override {
    return FillContours(FrameRoundRectContours(rect, radiusX, radiusY, thickness), color, code,
                        opacity, antialias);
  }

  int32_t Ellipse(double centerX, double centerY, double radiusX, double radiusY, uint32_t color,
                  bool filled, uint64_t code, double thickness, int32_t opacity,
                  bool antialias) override {
    if (filled) {
      return FillContours({EllipseContour(centerX, centerY, radiusX, radiusY)}, color, code,
                          opacity, antialias);
    }
    return FillContours(EllipseRingContours(centerX, centerY, radiusX, radiusY, thickness), color,
                        code, opacity, antialias);
  }

  int32_t Line(double x0, double y0, double x1, double y1, uint32_t color, uint64_t code,
               double thickness, int32_t opacity, bool antialias) override {
    return FillContours({ThickLineContour(x0, y0, x1, y1, thickness > 0 ? thickness : 1)}, color,
                        code, opacity, antialias);
  }

  int32_t Point(double x, double y, uint32_t color, uint64_t code, int32_t opacity,
                bool antialias) override {
    if (!Finite({x, y})) return kErrOutOfRange;
    if (!antialias) {
      const int32_t px = static_cast<int32_t>(std::floor(std::clamp(x, -1e9, 1e9)));
      const int32_t py = static_cast<int32_t>(std::floor(std::clamp(y, -1e9, 1e9)));
      Compose(target_, clip_.Current(), RectI{px, py, px + 1, py + 1}, Solid(color), nullptr, code,
              opacity);
      return kOk;
    }
    return FillContours({RectContour(RectF{x - 0.5, y - 0.5, x + 0.5, y + 0.5})}, color, code,
                        opacity, true);
  }

  int32_t GeneratedFill(int32_t kind, const RectI& rect, const void* record,
                        const uint32_t* palette) override {
    if (!record) return kErrMissingArg;
    if (kind < kFillRadial || kind > kFillFourPoint) return kErrNotSupported;
    if (kind != kFillFourPoint && !palette) return kErrMissingArg;
    if (!SaneRect(rect)) return kErrOutOfRange;
    PixelBlock& block = block_;
    block.area = Visible(rect);
    if (block.area.Empty()) return kOk;
    uint64_t code = 0;
    int32_t opacity = 256;
    FillRecordCode(kind, record, &code, &opacity);
    const BlendFields f = DecodeBlendCode(code);
    const bool dither = kind == kFillFourPoint ? !f.fourPointPlain : f.dither;
    const RectI visible = block.area;
    for (RectI band : Bands(visible)) {
      block.area = band;
      if (!RenderGeneratedFill(kind, rect, record, palette, dither, &block)) return kErrBadData;
      ComposeBlock(block, nullptr, code, opacity);
    }
    return kOk;
  }

  int32_t Blit(const BlitSource& source, int32_t destX, int32_t destY, uint64_t code,
               int32_t opacity) override {
    ArgbSource src;
    if (!MakeArgbSource(source, &src)) return kErrOutOfRange;
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    if (int64_t{destX} + src.width > kMax || int64_t{destY} + src.height > kMax) {
      return kErrOutOfRange;
    }
    ComposeSource cs;
    cs.pixels = src.origin;
    cs.strideBytes = src.strideBytes;
    cs.originX = destX;
    cs.originY = destY;
    Compose(target_, clip_.Current(), RectI{destX, destY, destX + src.width, destY + src.height},
            cs, nullptr, code, opacity);
    return kOk;
  }

  int32_t StretchBlit(const BlitSource& source, const RectI& dest, uint64_t code,
                      int32_t opacity) override {
    if (!SaneRect(dest)) return kErrOutOfRange;
    if (dest.Empty()) return kOk;
    if (dest.Width() == source.rect.Width() && dest.Height() == source.rect.Height()) {
      return Blit(source, dest.left, dest.top, code, opacity);
    }
    ArgbSource src;
    if (!MakeArgbSource(source, &src)) return kErrOutOfRange;
    PixelBlock& block = block_;
    block.area = Visible(dest);
    if (block.area.Empty()) return kOk;
    const RectI visible = block.area;
    const bool bilinear = DecodeBlendCode(code).bilinear;
    const BlendProgram& program = BlendProgram::For(code);
    if (program.IsPlainCopy() && program.Opacity(opacity) == 256 && !clip_.Current().HasMask()) {
      // A plain copy needs no composing: the samples go straight to the target.
      SampleStretchInto(src, dest, bilinear, visible, target_.Argb(visible.top) + visible.left,
                        target_.strideBytes);
      return kOk;
    }
    for (RectI band : Bands(visible)) {
      block.area = band;
      SampleStretch(src, dest, bilinear, &block);
      ComposeBlock(block, nullptr, code, opacity);
    }
    return kOk;
  }

  int32_t TileBlit(const BlitSource& source, const RectI& dest, int32_t offsetX, int32_t offsetY,
                   uint64_t code, int32_t opacity) override {
    ArgbSource src;
    if (!MakeArgbSource(source, &src)) return kErrOutOfRange;
    const RectI visible = Visible(dest);
    if (visible.Empty()) return kOk;
    // Copies sit on a grid through (dest.left + offsetX, dest.top + offsetY).
    auto firstStart = [](int32_t visibleStart, int64_t anchor, int32_t step) {
      const int64_t back = ((anchor - visibleStart) % step + step) % step;
      return static_cast<int32_t>(visibleStart - (back == 0 ? 0 : step - back));
    };
    const int32_t x0 = firstStart(visible.left, int64_t{dest.left} + offsetX, src.width);
    const int32_t y0 = firstStart(visible.top, int64_t{dest.top} + offsetY, src.height);
    for (int32_t y = y0; y < visible.bottom; y += src.height) {
      for (int32_t x = x0; x < visible.right; x += src.width) {
        ComposeSource cs;
        cs.pixels = src.origin;
        cs.strideBytes = src.strideBytes;
        cs.originX = x;
        cs.originY = y;
        const RectI tile = IntersectRects(RectI{x, y, x + src.width, y + src.height}, visible);
        Compose(target_, clip_.Current(), tile, cs, nullptr, code, opacity);
      }
    }
    return kOk;
  }

  int32_t RotateBlit(const BlitSource& source, const RotateArgs& args, uint64_t code,
                     int32_t opacity) override {
    if (!Finite({args.destCenterX, args.destCenterY, args.sourceCenterX, args.sourceCenterY,
                 args.scaleX, args.scaleY, args.angle})) {
      return kErrOutOfRange;
    }
    ArgbSource src;
    if (!MakeArgbSource(source, &src)) return kErrOutOfRange;
    const BlendFields f = DecodeBlendCode(code);
    PixelBlock& block = block_;
    CoverageMap& outline = coverage_;
    if (f.rotateTile) {
      block.area = Visible(target_.Bounds());
    } else {
      double xs[4];
      double ys[4];
      RotatedCorners(args, source.rect.left, source.rect.top, source.rect.right, source.rect.bottom,
                     xs, ys);
      Contour c;
      for (int i = 0; i < 4; ++i)
        c.push_back(PointF{xs[i], ys[i]});
      RasterizeContours({c}, clip_.Current().bounds, f.bilinear, &rasterizer_, &outline);
      block.area = outline.rect;
    }
    if (block.area.Empty()) return kOk;
    const RectI visible = block.area;
    for (RectI band : Bands(visible)) {
      block.area = band;
      SampleRotate(src, args, source.rect.left, source.rect.top, f.bilinear, f.rotateTile, &block);
      ComposeBlock(block, f.rotateTile ? nullptr : &outline, code, opacity);
    }
    return kOk;
  }

  int32_t FillCoverage(const SurfaceView& coverage, int32_t destX, int32_t destY, uint32_t color,
                       uint64_t code, int32_t opacity) override {
    if (coverage.format != PixelFormat::kIndex8) return kErrBadData;
    if (coverage.Empty()) return kOk;
    CoverageMap map;
    map.rect = IntersectRects(
        RectI{destX, destY, destX + coverage.width, destY + coverage.height},
        Visible(RectI{destX, destY, destX + coverage.width, destY + coverage.height}));
    if (map.rect.Empty()) return kOk;
    map.values.resize(static_cast<size_t>(map.rect.Width()) * map.rect.Height());
    for (int32_t y = map.rect.top; y < map.rect.bottom; ++y) {
      std::copy_n(coverage.Row(y - destY) + (map.rect.left - destX), map.rect.Width(),
                  map.values.data() + static_cast<size_t>(y - map.rect.top) * map.rect.Width());
    }
    Compose(target_, clip_.Current(), map.rect, Solid(color), &map, code, opacity);
    return kOk;
  }

  int32_t PushClipRect(const RectI& rect, int32_t mode, int32_t push) override {
    if (!clip_.CombineRect(rect, mode, push != 0)) return kErrOutOfRange;
    return clip_.Current().bounds.Empty() ? 0 : 1;
  }

  int32_t ClipToMask(const SurfaceView& mask, int32_t originX, int32_t originY, int32_t mode,
                     int32_t push) override {
    if (!clip_.CombineMask(mask, originX, originY, mode, push != 0)) return kErrOutOfRange;
    return clip_.Current().bounds.Empty() ? 0 : 1;
  }

  int32_t PopClip(int32_t count) override { return clip_.Pop(count); }

  int32_t GetClipBounds(RectI* bounds) override {
    if (!bounds) return kErrMissingArg;
    *bounds = clip_.Current().bounds;
    return kOk;
  }

  int32_t MarkDamage(const RectI& rect, uint32_t channels, uint32_t blend) override {
    (void)channels;
    (void)blend;
    damage_ = UnionOf(damage_, IntersectRects(rect, target_.Bounds()));
    return kOk;
  }

  int32_t TakeDamage(RectI* bounds) override {
    if (!bounds) return kErrMissingArg;
    *bounds = damage_;
    damage_ = RectI{};
    return kOk;
  }

 private:
  static ComposeSource Solid(uint32_t color) {
    ComposeSource s;
    s.solid = PremultiplyArgb(color);
    return s;
  }

  RectI Visible(const RectI& r) const {
    return IntersectRects(IntersectRects(r, target_.Bounds()), clip_.Current().bounds);
  }

  int32_t FillContours(const std::vector<Contour>& contours, uint32_t color, uint64_t code,
                       int32_t opacity, bool antialias) {
    for (const Contour& c : contours) {
      for (const PointF& p : c) {
        if (!Finite({p.x, p.y})) return kErrOutOfRange;
      }
    }
    CoverageMap& cov = coverage_;
    RasterizeContours(contours, clip_.Current().bounds, antialias, &rasterizer_, &cov);
    if (cov.rect.Empty()) return kOk;
    Compose(target_, clip_.Current(), cov.rect, Solid(color), &cov, code, opacity);
    return kOk;
  }

  // Generated pixels are made and composed a band of rows at a time, so they stay in cache.
  static std::vector<RectI> Bands(const RectI& area) {
    constexpr int32_t kRowsPerBand = 16;
    std::vector<RectI> bands;
    for (int32_t top = area.top; top < area.bottom; top += kRowsPerBand) {
      bands.push_back(RectI{area.left, top, area.right, std::min(area.bottom, top + kRowsPerBand)});
    }
    return bands;
  }

  void ComposeBlock(const PixelBlock& block, const CoverageMap* coverage, uint64_t code,
                    int32_t opacity) {
    ComposeSource cs;
    cs.pixels = block.pixels.data();
    cs.strideBytes = block.area.Width() * 4;
    cs.originX = block.area.left;
    cs.originY = block.area.top;
    Compose(target_, clip_.Current(), block.area, cs, coverage, code, opacity);
  }

  RefPtr<MSurface> owner_;
  SurfaceView target_;
  ClipStack clip_;
  bool dithering_ = false;
  RectI damage_;
  // Scratch kept between calls: drawing a frame reuses the same buffers.
  PixelBlock block_;
  CoverageMap coverage_;
  CoverageRasterizer rasterizer_;
};

}  // namespace

int32_t CreateCanvas(MSurface* target, RefPtr<MCanvas>* canvas) {
  if (!target || !canvas) return kErrMissingArg;
  SurfaceView view;
  const int32_t r = target->GetView(&view);
  if (Failed(r)) return r;
  if (view.format != PixelFormat::kArgb32) return kErrBadData;
  *canvas = RefPtr<MCanvas>(new CanvasObject(view, target));
  return kOk;
}

int32_t CreateCanvasOnView(const SurfaceView& target, RefPtr<MCanvas>* canvas) {
  if (!canvas) return kErrMissingArg;
  if (target.format != PixelFormat::kArgb32) return kErrBadData;
  *canvas = RefPtr<MCanvas>(new CanvasObject(target, nullptr));
  return kOk;
}

void SetCanvasDithering(MCanvas* canvas, bool on) {
  if (canvas) static_cast<CanvasObject*>(canvas)->SetDithering(on);
}

}  // namespace vk2::gfx
