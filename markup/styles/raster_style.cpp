#include "markup/styles/raster_style.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>

#include "markup/parse/scalar_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/image_source.h"

namespace vk2::markup {
namespace {

// A nine-slice margin or piece size: never negative, never beyond an image side, so sums with
// placed coordinates stay in range.
int32_t Margin(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, kMaxImageSide));
}

// a + b, held inside the range placed coordinates use.
int32_t Shifted(int32_t a, int32_t b) {
  return TruncToInt(static_cast<double>(a) + b);
}

RectI Intersect(const RectI& a, const RectI& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// The ramp from black to white every raster without a palette of its own shares.
RefPtr<Palette> DefaultPalette() {
  static std::mutex mutex;
  static Palette* shared = nullptr;
  std::lock_guard lock(mutex);
  if (!shared) shared = BuildPalette(nullptr, nullptr).Detach();
  return RefPtr<Palette>(shared);
}

int32_t EightBitConversion(const Element& element) {
  if (!element.HasAttribute(u"force8bit")) return 0;
  TString word = element.Attribute(u"force8bit");
  const std::pair<const char16_t*, int32_t> kWords[] = {{u"alpha", kEightBitAlpha},
                                                        {u"red", kEightBitRed},
                                                        {u"green", kEightBitGreen},
                                                        {u"blue", kEightBitBlue},
                                                        {u"intensity", kEightBitIntensity}};
  for (const auto& [name, source] : kWords) {
    if (word.Equals(TString(name), false)) return source;
  }
  ReportMmlError(&element,
                 TString::Format(u"force8bit=\"%s\"\nNot a valid 8bit conversion type.\n", word));
  return 0;
}

uint32_t ArgbOf(const SurfaceView& view, const uint32_t* palette, int32_t x, int32_t y) {
  if (view.format != PixelFormat::kIndex8) return view.Argb(y)[x];
  uint8_t index = view.Row(y)[x];
  uint32_t straight = palette ? palette[index] : 0xFF000000u | (index * 0x010101u);
  uint32_t a = straight >> 24;
  auto premultiply = [a](uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (premultiply((straight >> 16) & 0xFF) << 16) |
         (premultiply((straight >> 8) & 0xFF) << 8) | premultiply(straight & 0xFF);
}

}  // namespace

void CrossFadeFrames(const SurfaceView& a, const SurfaceView& b, const uint32_t* palette,
                     int32_t weight, uint32_t* out) {
  const int32_t w = std::min(a.width, b.width), h = std::min(a.height, b.height);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t pa = ArgbOf(a, palette, x, y), pb = ArgbOf(b, palette, x, y), mixed = 0;
      for (int32_t shift = 0; shift < 32; shift += 8) {
        int32_t ca = static_cast<int32_t>((pa >> shift) & 0xFF);
        int32_t cb = static_cast<int32_t>((pb >> shift) & 0xFF);
        mixed |= static_cast<uint32_t>(ca + (cb - ca) * weight / 256) << shift;
      }
      out[y * w + x] = mixed;
    }
  }
}

RefPtr<ImageStyle> RasterStyle::Make() {
  return RefPtr<ImageStyle>(new (std::nothrow) RasterStyle());
}

bool RasterStyle::ParseOwn(const StyleScope& scope, const Element& element) {
  MResourceFile* package = scope.Package();
  TString source = element.Attribute(u"source");
  if (IsNotBlank(source.view())) {
    ImageSourceResult loaded;
    if (!LoadImageSource(source.view(), package, &element, ImageSourceMode::kImage, true,
                         &loaded) ||
        !loaded.image)
      return false;
    image_ = loaded.image;
    PointD offset;
    if (ParsePointAttribute(element, u"source_offset", &offset, true, package, scope.collections)) {
      offsetX_ = TruncToInt(offset.x);
      offsetY_ = TruncToInt(offset.y);
    }
  }
  RectI bounds = image_ ? image_->Bounds() : RectI{};
  fillMode_ = ParseFillMode(element, &inner_, &outer_, &tile_, {bounds.Width(), bounds.Height()},
                            package, scope.collections);
  if (fillMode_ == kFillStretch || fillMode_ == kFillRotate || fillMode_ == kFillRotateTile) {
    if (element.AttributeBool(u"interpolate", false)) SetBlendBits(kBlendBilinear);
  }
  if (fillMode_ == kFillRotate || fillMode_ == kFillRotateTile) {
    zoom_ = element.AttributeNumber(u"zoom", 1.0);
    angleDirection_ = element.AttributeNumber(u"angle_direction", 1.0);
    angle_ = element.AttributeNumber(u"angle", 0.0);
    destCenter_.Parse(&element, u"center_offset", u"center_alignment", package, scope.collections);
    sourceCenter_.Parse(&element, u"source_center_offset", u"source_center_alignment", package,
                        scope.collections);
  }
  int32_t conversion = EightBitConversion(element);
  if (image_ && conversion != 0) {
    RefPtr<MRasterImage> converted;
    if (image_->ConvertToEightBit(conversion, converted.Put()) == 0 && converted)
      image_ = converted;
  }
  palette_ = ParsePalette(element, scope.collections, false);
  if (!palette_) palette_ = DefaultPalette();
  blendFrames_ = element.AttributeBool(u"blend_frames", false);
  frames_ = 1;
  if (element.HasAttribute(u"num_frames"))
    ParseUnsignedMarkup(element.Attribute(u"num_frames").view(), &frames_);
  frameWidth_ = 0;
  if (element.HasAttribute(u"frame_width"))
    ParseUnsignedMarkup(element.Attribute(u"frame_width").view(), &frameWidth_);
  if (frameWidth_ == 0 && frames_ != 0)
    frameWidth_ = static_cast<uint32_t>(bounds.Width()) / frames_;
  return true;
}

bool RasterStyle::ChooseFrame(double t, int32_t* frame, double* fraction) const {
  const double n = frames_;
  if (!std::isfinite(t)) t = 0;
  double f = std::fmod(t, 1.0);
  if (t < 0) f += 1.0;
  // A whole negative time lands on 1.0; it is the same whole time as any other.
  if (f >= 1.0) f = 0.0;
  int32_t chosen;
  if (f == 0.0 && t != 0.0 && !blendFrames_)
    chosen = static_cast<int32_t>(frames_) - 1;
  else
    chosen = static_cast<int32_t>(n * f);
  *frame = chosen;
  *fraction = (f - chosen / n) * n;
  if (*fraction < 0) *fraction = 0;
  return true;
}

bool RasterStyle::DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
                          int32_t opacity) {
  if (!image_) return true;
  SurfaceView view;
  if (image_->GetView(&view) != 0 || view.Empty()) return true;
  RectI p = TruncRect(placed);
  const RectI bounds = image_->Bounds();
  BlitSource source{view, bounds, palette_->Entries()};
  if (frames_ <= 1) {
    DrawSource(source, p, canvas, params, opacity);
    return true;
  }
  int32_t frame = 0;
  double r = 0;
  ChooseFrame(TimeValue(params), &frame, &r);
  const int64_t fw = frameWidth_;
  auto frameRect = [&](int32_t index) {
    int64_t left = fw * index;
    RectI rect{static_cast<int32_t>(std::min<int64_t>(left, bounds.right)), bounds.top,
               static_cast<int32_t>(std::min<int64_t>(left + fw, bounds.right)), bounds.bottom};
    return Intersect(rect, bounds);
  };
  source.rect = frameRect(frame);
  if (source.rect.Empty()) return true;
  const int32_t weight = static_cast<int32_t>(r * 256);
  if (!blendFrames_ || weight <= 0) {
    DrawSource(source, p, canvas, params, opacity);
    return true;
  }
  int32_t next = frame + 1 >= static_cast<int32_t>(frames_) ? 0 : frame + 1;
  RectI nextRect = frameRect(next);
  const int32_t w = std::min(source.rect.Width(), nextRect.Width());
  const int32_t h = std::min(source.rect.Height(), nextRect.Height());
  if (w <= 0 || h <= 0) {
    DrawSource(source, p, canvas, params, opacity);
    return true;
  }
  // The two frames mixed into a scratch surface, which is then the source.
  std::vector<uint32_t> scratch;
  try {
    scratch.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  } catch (const std::bad_alloc&) {
    return true;
  }
  auto sub = [&view](const RectI& rect) {
    SurfaceView part = view;
    int32_t bytes = view.format == PixelFormat::kIndex8 ? 1 : 4;
    part.bits = view.Row(rect.top) + rect.left * bytes;
    part.width = rect.Width();
    part.height = rect.Height();
    return part;
  };
  CrossFadeFrames(sub(source.rect), sub(nextRect), palette_->Entries(), weight, scratch.data());
  SurfaceView mixed{reinterpret_cast<uint8_t*>(scratch.data()), w, h, w * 4, PixelFormat::kArgb32};
  DrawSource(BlitSource{mixed, RectI{0, 0, w, h}, nullptr}, p, canvas, params, opacity);
  return true;
}

void RasterStyle::DrawSource(const BlitSource& source, const RectI& p, MCanvas* canvas,
                             const AnimationParams& params, int32_t opacity) {
  const uint64_t b = BlendCode();
  switch (fillMode_) {
    case kFillOnce:
      // The image's top-left lands at P's top-left moved by the source offset; nothing
      // outside P.
      canvas->PushClipRect(p, kClipIntersect, 1);
      canvas->Blit(source, Shifted(p.left, offsetX_), Shifted(p.top, offsetY_), b, opacity);
      canvas->PopClip(1);
      break;
    case kFillTile:
      DrawTiles(source, p, canvas, opacity);
      break;
    case kFillResize:
    case kFillResizeNoCorner:
    case kFillResizeCornerOnly:
      DrawNineSlice(source, p, canvas, opacity);
      break;
    case kFillStretch:
      canvas->StretchBlit(source, p, b, opacity);
      break;
    case kFillRotate:
    case kFillRotateTile:
      DrawRotated(source, p, canvas, params, opacity);
      break;
    default:
      break;
  }
}

void RasterStyle::DrawTiles(const BlitSource& source, const RectI& p, MCanvas* canvas,
                            int32_t opacity) {
  if (p.Empty()) return;
  const uint64_t b = BlendCode();
  int32_t tw = tile_.width > 0 ? tile_.width : source.rect.Width();
  int32_t th = tile_.height > 0 ? tile_.height : source.rect.Height();
  if (tw <= 0 || th <= 0) return;
  canvas->PushClipRect(p, kClipIntersect, 1);
  const int64_t x0 = static_cast<int64_t>(p.left) + offsetX_;
  const int64_t y0 = static_cast<int64_t>(p.top) + offsetY_;
  if (tw == source.rect.Width() && th == source.rect.Height()) {
    // Tiles as large as the source: the canvas repeats it in one call.
    RectI dest{Shifted(p.left, offsetX_), Shifted(p.top, offsetY_), p.right, p.bottom};
    if (!dest.Empty()) canvas->TileBlit(source, dest, 0, 0, b, opacity);
  } else {
    // Other tile sizes step by the tile size; only the tiles that reach the visible part.
    RectI visible = p;
    RectI clip;
    if (canvas->GetClipBounds(&clip) == 0) visible = Intersect(visible, clip);
    int64_t startX = x0, startY = y0;
    if (startX + tw <= visible.left) startX += (visible.left - startX) / tw * tw;
    if (startY + th <= visible.top) startY += (visible.top - startY) / th * th;
    for (int64_t y = startY; y < visible.bottom; y += th) {
      for (int64_t x = startX; x < visible.right; x += tw)
        canvas->Blit(source, static_cast<int32_t>(x), static_cast<int32_t>(y), b, opacity);
    }
  }
  canvas->PopClip(1);
}

void RasterStyle::DrawNineSlice(const BlitSource& source, const RectI& p, MCanvas* canvas,
                                int32_t opacity) {
  const uint64_t b = BlendCode();
  const int32_t sx = source.rect.left, sy = source.rect.top;
  const int32_t left = Margin(inner_.left), top = Margin(inner_.top);
  const int32_t right = Margin(int64_t{outer_.right} - inner_.right);
  const int32_t bottom = Margin(int64_t{outer_.bottom} - inner_.bottom);
  const int32_t innerW = Margin(int64_t{inner_.right} - inner_.left);
  const int32_t innerH = Margin(int64_t{inner_.bottom} - inner_.top);
  // One piece of the source (relative to its top-left) at a point of the canvas.
  auto piece = [&](int32_t x, int32_t y, int32_t w, int32_t h, int32_t destX, int32_t destY) {
    if (w <= 0 || h <= 0) return;
    BlitSource part = source;
    const int32_t fromX = Shifted(sx, x), fromY = Shifted(sy, y);
    part.rect = Intersect(RectI{fromX, fromY, Shifted(fromX, w), Shifted(fromY, h)}, source.rect);
    if (!part.rect.Empty()) canvas->Blit(part, destX, destY, b, opacity);
  };
  if (fillMode_ != kFillResizeNoCorner) {
    piece(0, 0, left, top, p.left, p.top);
    piece(inner_.right, 0, right, top, p.right - right, p.top);
    piece(0, inner_.bottom, left, bottom, p.left, p.bottom - bottom);
    piece(inner_.right, inner_.bottom, right, bottom, p.right - right, p.bottom - bottom);
  }
  if (fillMode_ == kFillResizeCornerOnly || innerW <= 0 || innerH <= 0) return;
  RectI clip;
  if (canvas->GetClipBounds(&clip) != 0) clip = p;
  // Edges repeat along P's sides; only the repeats that reach the visible part are drawn.
  auto firstStep = [](int64_t start, int32_t step, int32_t visibleStart) {
    return start + step <= visibleStart ? start + (visibleStart - start) / step * step : start;
  };
  canvas->PushClipRect(RectI{p.left + left, p.top, p.right - right, p.bottom}, kClipIntersect, 1);
  int64_t endX = std::min(p.right - right, clip.right);
  for (int64_t x = firstStep(p.left + left, innerW, clip.left); x < endX; x += innerW) {
    piece(inner_.left, 0, innerW, top, static_cast<int32_t>(x), p.top);
    piece(inner_.left, inner_.bottom, innerW, bottom, static_cast<int32_t>(x), p.bottom - bottom);
  }
  canvas->PopClip(1);
  canvas->PushClipRect(RectI{p.left, p.top + top, p.right, p.bottom - bottom}, kClipIntersect, 1);
  int64_t endY = std::min(p.bottom - bottom, clip.bottom);
  for (int64_t y = firstStep(p.top + top, innerH, clip.top); y < endY; y += innerH) {
    piece(0, inner_.top, left, innerH, p.left, static_cast<int32_t>(y));
    piece(inner_.right, inner_.top, right, innerH, p.right - right, static_cast<int32_t>(y));
  }
  canvas->PopClip(1);
}

void RasterStyle::DrawRotated(const BlitSource& source, const RectI& p, MCanvas* canvas,
                              const AnimationParams& params, int32_t opacity) {
  const double a = AngleValue(params), z = ZoomValue(params);
  RotateArgs args;
  args.scaleX = args.scaleY = z * zoom_ / std::sqrt(2.0);
  args.angle = (a * angleDirection_ + angle_) * kDegreesToRadians;
  PointD dest = destCenter_.Resolve(ToRectD(p));
  args.destCenterX = p.left + dest.x;
  args.destCenterY = p.top + dest.y;
  PointD from = sourceCenter_.Resolve(ToRectD(source.rect));
  args.sourceCenterX = source.rect.left + from.x;
  args.sourceCenterY = source.rect.top + from.y;
  uint64_t code = BlendCode() | (fillMode_ == kFillRotateTile ? kBlendRotateTile : 0);
  canvas->RotateBlit(source, args, code, opacity);
}

}  // namespace vk2::markup
