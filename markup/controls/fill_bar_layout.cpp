#include "markup/controls/fill_bar_layout.h"

namespace vk2::markup {
namespace {

int32_t Trunc(double value) {
  return static_cast<int32_t>(value);
}

RectI Offset(const RectI& rect, const int32_t offset[4]) {
  return RectI{rect.left + offset[0], rect.top + offset[1], rect.right + offset[2],
               rect.bottom + offset[3]};
}

}  // namespace

RectI FillBarRect(const FillBarGeometry& g, int32_t width, int32_t height) {
  return RectI{Trunc(width * g.barAlign[0] + g.barOffset[0]),
               Trunc(height * g.barAlign[1] + g.barOffset[1]),
               Trunc(width * g.barAlign[2] + g.barOffset[2]),
               Trunc(height * g.barAlign[3] + g.barOffset[3])};
}

int32_t FillBarHandleLength(const FillBarGeometry& g, const RectI& bar) {
  if (!g.hasHandle) return 0;
  const int32_t nearSide = g.vertical ? 1 : 0;
  const int32_t farSide = g.vertical ? 3 : 2;
  // The bar's width scales the handle in both orientations.
  const double scale = bar.Width();
  return Trunc((scale * g.innerHandleAlign[farSide] + g.innerHandleOffset[farSide]) -
               (scale * g.innerHandleAlign[nearSide] + g.innerHandleOffset[nearSide]));
}

FillBarLayout LayOutFillBar(const FillBarGeometry& g, int32_t width, int32_t height, double p) {
  FillBarLayout out;
  const RectI d = FillBarRect(g, width, height);
  const int32_t bw = d.Width();
  const int32_t bh = d.Height();
  out.bar = d;
  if (!g.hasHandle) {
    if (g.vertical) {
      const int32_t cy = d.top + Trunc(bh * p);
      out.first = RectI{d.left, d.top, d.right, cy};
      out.second = RectI{d.left, cy, d.right, d.bottom};
      out.centreX = (d.left + d.right) / 2;
      out.centreY = cy;
    } else {
      const int32_t cx = d.left + Trunc(bw * p);
      out.first = RectI{d.left, d.top, cx, d.bottom};
      out.second = RectI{cx, d.top, d.right, d.bottom};
      out.centreX = cx;
      out.centreY = (d.top + d.bottom) / 2;
    }
  } else {
    const int32_t hs = FillBarHandleLength(g, d);
    const double* oa = g.outerHandleAlign;
    const int32_t* oo = g.outerHandleOffset;
    if (g.vertical) {
      const double cy = d.top + (bh - hs) * p + hs / 2.0;
      out.centreX = (d.left + d.right) / 2;
      out.centreY = cy;
      out.handle = RectI{d.left + Trunc(bw * oa[0] + oo[0]), Trunc(bh * oa[1] + oo[1] + cy),
                         d.left + Trunc(bw * oa[2] + oo[2]), Trunc(bh * oa[3] + oo[3] + cy)};
      out.first = RectI{d.left, d.top, d.right, Trunc(cy)};
      out.second = RectI{d.left, Trunc(cy), d.right, d.bottom};
    } else {
      const double cx = d.left + (bw - hs) * p + hs / 2.0;
      out.centreX = cx;
      out.centreY = (d.top + d.bottom) / 2;
      out.handle = RectI{Trunc(bw * oa[0] + oo[0] + cx), d.top + Trunc(bh * oa[1] + oo[1]),
                         Trunc(bw * oa[2] + oo[2] + cx), d.top + Trunc(bh * oa[3] + oo[3])};
      out.first = RectI{d.left, d.top, Trunc(cx), d.bottom};
      out.second = RectI{Trunc(cx), d.top, d.right, d.bottom};
    }
  }
  out.first = Offset(out.first, g.fillOffset);
  out.second = Offset(out.second, g.emptyOffset);
  return out;
}

RectI FillBarTrack(const FillBarGeometry& g, int32_t width, int32_t height) {
  RectI d = FillBarRect(g, width, height);
  if (!g.hasHandle) return d;
  const int32_t hs = FillBarHandleLength(g, d);
  const int32_t h = Trunc(hs * 0.5);
  if (g.vertical) {
    d.bottom = d.bottom - hs + h;
    d.top += h;
  } else {
    d.right = d.right - hs + h;
    d.left += h;
  }
  return d;
}

}  // namespace vk2::markup
