#include "markup/shapes/shape.h"

#include <algorithm>
#include <new>

#include "markup/resources/image_source.h"
#include "markup/services/markup_services.h"
#include "markup/styles/image_style.h"

namespace vk2::markup {
namespace {

constexpr int32_t kFillOnceMode = 0, kFillTileMode = 1, kFillResizeMode = 2,
                  kFillResizeNoCornerMode = 3, kFillResizeCornerOnlyMode = 4;

bool Bit(const SurfaceView& m, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= m.width || y >= m.height) return false;
  return (m.Row(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

void SetBit(const SurfaceView& m, int32_t x, int32_t y) {
  m.Row(y)[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
}

RefPtr<MMaskImage> NewMask(int32_t width, int32_t height) {
  RefPtr<MThreadImageService> images = ImageService();
  RefPtr<MMaskImage> mask;
  if (!images || images->CreateMask(width, height, mask.Put()) != 0) return nullptr;
  return mask;
}

// Positive modulo.
int32_t Wrap(int64_t value, int32_t step) {
  int64_t r = value % step;
  return static_cast<int32_t>(r < 0 ? r + step : r);
}

}  // namespace

int32_t CombineModeOfWord(std::u16string_view word) {
  TString text = TString(word).Trimmed();
  if (text.Equals(TString(u"AND"), false)) return kClipIntersect;
  if (text.Equals(TString(u"XOR"), false)) return kClipXor;
  if (text.Equals(TString(u"DIFF"), false)) return kClipDifference;
  return kClipUnion;
}

RefPtr<Shape> Shape::Make(Kind kind) {
  return RefPtr<Shape>(new (std::nothrow) Shape(kind));
}

bool Shape::Parse(const StyleScope& scope, const Element& element) {
  if (!element) return false;
  MResourceFile* package = scope.Package();
  if (kind_ == Kind::kRaster) {
    TString source = element.Attribute(u"source");
    RectI bounds;
    if (!source.IsEmpty()) {
      ImageSourceResult loaded;
      if (!LoadImageSource(source.view(), package, &element, ImageSourceMode::kImage, true,
                           &loaded) ||
          !loaded.image)
        return false;
      bounds = loaded.image->Bounds();
      if (loaded.image->ExtractMask(0xFF000000, 0x80, image_.Put()) != 0) image_ = nullptr;
      PointD offset;
      if (image_ && ParsePointAttribute(element, u"source_offset", &offset, true, package,
                                        scope.collections)) {
        SurfaceView view;
        image_->GetView(&view);
        if (RefPtr<MMaskImage> moved = NewMask(view.width, view.height)) {
          moved->CombineMask(image_.Get(), TruncToInt(offset.x), TruncToInt(offset.y),
                             kClipReplace);
          image_ = moved;
        }
      }
    }
    placement_.Parse(&element, u"offset", u"alignment", package, scope.collections);
    fillMode_ = ParseFillMode(element, &inner_, &outer_, &tile_, {bounds.Width(), bounds.Height()},
                              package, scope.collections);
    return true;
  }
  placement_.Parse(&element, u"offset", u"alignment", package, scope.collections);
  if (kind_ == Kind::kRoundRect) {
    PointD size;
    if (ParseSizeAttribute(element, u"corner_size", &size, true, package, scope.collections)) {
      cornerWidth_ = TruncToInt(size.x);
      cornerHeight_ = TruncToInt(size.y);
    }
  }
  return true;
}

bool Shape::Apply(const RectI& rect, MMaskImage* mask) const {
  if (!mask) return true;
  RectI p = TruncRect(placement_.Resolve(ToRectD(rect)));
  if (p.Empty()) {
    // An empty area leaves nothing of an intersection.
    if (mode_ == kClipReplace || mode_ == kClipIntersect) mask->CombineRect(RectI{}, kClipReplace);
    return true;
  }
  switch (kind_) {
    case Kind::kRect:
      mask->CombineRect(p, mode_);
      break;
    case Kind::kEllipse:
      mask->CombineEllipse(p, mode_);
      break;
    case Kind::kRoundRect:
      mask->CombineRoundRect(p, cornerWidth_, cornerHeight_, mode_);
      break;
    case Kind::kRaster:
      if (!image_ || fillMode_ == kFillTileMode)
        mask->CombineRect(p, mode_);
      else if (fillMode_ == kFillOnceMode)
        mask->CombineMask(image_.Get(), p.left, p.top, mode_);
      else if (fillMode_ >= kFillResizeMode && fillMode_ <= kFillResizeCornerOnlyMode)
        ApplyNineSlice(p, mask);
      break;
  }
  return true;
}

// The nine cells of P, each taken from the matching part of the image mask: corners as they
// stand, edges repeated along their side, the centre solid. Collected apart, then combined.
void Shape::ApplyNineSlice(const RectI& p, MMaskImage* mask) const {
  SurfaceView target, image;
  if (mask->GetView(&target) != 0 || image_->GetView(&image) != 0) return;
  RefPtr<MMaskImage> collected = NewMask(target.width, target.height);
  SurfaceView out;
  if (!collected || collected->GetView(&out) != 0) return;
  // Margins held to an image's side, so sums with placed coordinates stay in range.
  auto margin = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, kMaxImageSide));
  };
  const int32_t left = margin(inner_.left), top = margin(inner_.top);
  const int32_t right = margin(int64_t{outer_.right} - inner_.right);
  const int32_t bottom = margin(int64_t{outer_.bottom} - inner_.bottom);
  const int32_t innerW = margin(int64_t{inner_.right} - inner_.left);
  const int32_t innerH = margin(int64_t{inner_.bottom} - inner_.top);
  const bool corners = fillMode_ != kFillResizeNoCornerMode;
  const bool edges = fillMode_ != kFillResizeCornerOnlyMode;
  const RectI visible = RectI{std::max(p.left, 0), std::max(p.top, 0),
                              std::min(p.right, target.width), std::min(p.bottom, target.height)};
  for (int32_t y = visible.top; y < visible.bottom; ++y) {
    // Which band the row is in and the image row it reads (-1: none).
    int32_t band, sy;
    if (y < p.top + top) {
      band = 0, sy = y - p.top;
    } else if (y >= p.bottom - bottom) {
      band = 2, sy = TruncToInt(static_cast<double>(inner_.bottom) + (y - (p.bottom - bottom)));
    } else {
      band = 1,
      sy = innerH > 0
               ? TruncToInt(static_cast<double>(inner_.top) + Wrap(y - (p.top + top), innerH))
               : -1;
    }
    for (int32_t x = visible.left; x < visible.right; ++x) {
      int32_t column, sx;
      if (x < p.left + left) {
        column = 0, sx = x - p.left;
      } else if (x >= p.right - right) {
        column = 2, sx = TruncToInt(static_cast<double>(inner_.right) + (x - (p.right - right)));
      } else {
        column = 1,
        sx = innerW > 0
                 ? TruncToInt(static_cast<double>(inner_.left) + Wrap(x - (p.left + left), innerW))
                 : -1;
      }
      bool corner = band != 1 && column != 1;
      bool centre = band == 1 && column == 1;
      bool in;
      if (corner)
        in = corners && Bit(image, sx, sy);
      else if (centre)
        in = edges && innerW > 0 && innerH > 0;
      else
        in = edges && innerW > 0 && innerH > 0 && Bit(image, sx, sy);
      if (in) SetBit(out, x, y);
    }
  }
  mask->CombineMask(collected.Get(), 0, 0, mode_);
}

}  // namespace vk2::markup
