#include "markup/definition/state_styles.h"

#include <algorithm>
#include <vector>

#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

// The canvas's cross-fade: D' = S·w + D·(1 − w), w = opacity / 256.
constexpr uint64_t kCrossFade = 0x1200;
constexpr uint32_t kDamageChannels = 0xF;
constexpr uint32_t kDamageBlend = 0x100;
// Masks in drawing order, matching the weight triples: normal, hit, hover.
constexpr uint32_t kStateOrder[3] = {kStyleStateNormal, kStyleStateHit, kStyleStateHover};

// A scratch image the size of the rectangle with a canvas on it.
class Scratch {
 public:
  bool Make(int32_t width, int32_t height) {
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    view_.bits = reinterpret_cast<uint8_t*>(pixels_.data());
    view_.width = width;
    view_.height = height;
    view_.strideBytes = width * 4;
    view_.format = PixelFormat::kArgb32;
    canvas_ = MakeCanvas(view_);
    return canvas_ != nullptr;
  }
  void Clear() { std::fill(pixels_.begin(), pixels_.end(), 0u); }
  void CopyFrom(const Scratch& other) { pixels_ = other.pixels_; }
  // The canvas's pixels under `rect`; what lies outside its surface stays clear.
  void CopyFromCanvas(MCanvas* canvas, const RectI& rect) {
    Clear();
    SurfaceView target;
    if (canvas->GetTarget(&target) != 0 || target.Empty() || target.format != PixelFormat::kArgb32)
      return;
    const int32_t x0 = std::max(rect.left, 0), x1 = std::min(rect.right, target.width);
    const int32_t y0 = std::max(rect.top, 0), y1 = std::min(rect.bottom, target.height);
    for (int32_t y = y0; y < y1; ++y) {
      const uint32_t* source = target.Argb(y);
      uint32_t* dest = view_.Argb(y - rect.top);
      for (int32_t x = x0; x < x1; ++x)
        dest[x - rect.left] = source[x];
    }
  }
  int32_t BlendOnto(MCanvas* canvas, const RectI& rect, int32_t alpha) const {
    BlitSource source;
    source.view = view_;
    source.rect = view_.Bounds();
    return canvas->Blit(source, rect.left, rect.top, kCrossFade, alpha) == 0 ? 1 : 0;
  }
  MCanvas* Canvas() const { return canvas_.Get(); }

 private:
  std::vector<uint32_t> pixels_;
  SurfaceView view_;
  RefPtr<MCanvas> canvas_;
};

int32_t Alpha(double fraction) {
  return static_cast<int32_t>(std::clamp(fraction, 0.0, 1.0) * 256.0);
}

bool Usable(MImageStyleDrawing* style, uint32_t mask) {
  return style && style->CountStyles(mask) > 0;
}

// Without scratch canvases: each weighted style straight onto the canvas at its weight.
bool DrawUncomposed(const RectI& rect, MCanvas* canvas, const StateStyleSet& set, int32_t n,
                    double opacity, const VisualParameters& params) {
  bool any = false;
  double total = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < 3; ++j)
      total += set.weights[i * 3 + j];
  }
  if (set.background && total < 0.999)
    any |= set.background->Draw(rect, canvas, kStyleStateNormal, opacity, params) != 0;
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < 3; ++j) {
      const double weight = set.weights[i * 3 + j];
      if (weight == 0.0 || !Usable(set.styles[i], kStateOrder[j])) continue;
      any |= set.styles[i]->Draw(rect, canvas, kStateOrder[j], opacity * weight, params) != 0;
    }
  }
  return any;
}

}  // namespace

bool DrawStateStyles(const RectI& rect, MCanvas* canvas, const StateStyleSet& set, bool composite,
                     double opacity, const VisualParameters& params) {
  if (!canvas || rect.Empty()) return false;
  if (!set.weights || !set.styles || set.count <= 0) {
    bool any = false;
    if (set.background)
      any |= set.background->Draw(rect, canvas, kStyleStateNormal, opacity, params) != 0;
    if (set.styles && set.count > 0 && Usable(set.styles[0], kStyleStateNormal))
      any |= set.styles[0]->Draw(rect, canvas, kStyleStateNormal, opacity, params) != 0;
    return any;
  }
  const int32_t n = std::min(set.count, set.weightCount / 3);
  const int32_t width = rect.Width(), height = rect.Height();
  Scratch a, b;
  if (!a.Make(width, height) || !b.Make(width, height))
    return DrawUncomposed(rect, canvas, set, n, opacity, params);

  const bool underlay = composite || set.background != nullptr;
  const RectI local{0, 0, width, height};
  double total = 0.0;
  int32_t drawn = 0;
  bool pending = false, any = false, underlayMade = false;
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < 3; ++j) {
      const double weight = set.weights[i * 3 + j];
      MImageStyleDrawing* style = set.styles[i];
      if (weight == 0.0 || !Usable(style, kStateOrder[j])) continue;
      if (underlay && !pending) {
        if (!underlayMade) {
          if (composite) a.CopyFromCanvas(canvas, rect);
          if (set.background)
            set.background->Draw(local, a.Canvas(), kStyleStateNormal, 1.0, params);
          underlayMade = true;
        }
        b.CopyFrom(a);
        pending = true;
      } else if (!underlay) {
        // Each style starts from a clear image, never from what the last one left.
        b.Clear();
      }
      if (!style->Draw(local, b.Canvas(), kStateOrder[j], opacity * weight, params)) continue;
      if (drawn == 0) canvas->MarkDamage(rect, kDamageChannels, kDamageBlend);
      ++drawn;
      total += opacity * weight;
      any |= b.BlendOnto(canvas, rect, Alpha(opacity * weight)) != 0;
      pending = false;
    }
  }
  if (underlay && total < 0.999) {
    if (drawn != 0) {
      any |= a.BlendOnto(canvas, rect, Alpha(1.0 - total)) != 0;
    } else if (set.background) {
      // No weighted style drew: the window still shows its background.
      any |= set.background->Draw(rect, canvas, kStyleStateNormal, opacity, params) != 0;
    }
  }
  return any;
}

}  // namespace vk2::markup
