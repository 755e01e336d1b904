#include "oru/graphics/canvas/clip_stack.h"

#include <algorithm>
#include <climits>

#include "interfaces/graphics/canvas.h"

namespace vk2::gfx {

RectI IntersectRects(const RectI& a, const RectI& b) {
  RectI r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  return r.Empty() ? RectI{} : r;
}

ClipStack::ClipStack(int32_t width, int32_t height) : width_(width), height_(height) {
  current_.bounds = RectI{0, 0, width, height};
}

std::vector<uint8_t> ClipStack::AsMask(const ClipState& s) const {
  if (s.HasMask()) return s.mask;
  std::vector<uint8_t> m(static_cast<size_t>(width_) * height_, 0);
  for (int32_t y = s.bounds.top; y < s.bounds.bottom; ++y) {
    std::fill_n(m.begin() + static_cast<size_t>(y) * width_ + s.bounds.left, s.bounds.Width(),
                uint8_t{255});
  }
  return m;
}

bool ClipStack::CombineRect(const RectI& rect, int32_t mode, bool push) {
  if (push) saved_.push_back(current_);
  const RectI r = IntersectRects(rect, RectI{0, 0, width_, height_});
  switch (mode) {
    case kClipReplace:
      current_.bounds = r;
      current_.mask.clear();
      return true;
    case kClipIntersect:
      if (!current_.HasMask()) {
        current_.bounds = IntersectRects(current_.bounds, r);
        return true;
      }
      Combine(AsMask(ClipState{r, {}}), r, mode);
      return true;
    case kClipUnion:
    case kClipDifference:
    case kClipXor:
      Combine(AsMask(ClipState{r, {}}), r, mode);
      return true;
    default:
      return false;
  }
}

bool ClipStack::CombineMask(const SurfaceView& mask, int32_t originX, int32_t originY, int32_t mode,
                            bool push) {
  if (push) saved_.push_back(current_);
  if (mode < kClipReplace || mode > kClipXor || mask.format != PixelFormat::kMask1) return false;
  auto clampEdge = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  const RectI placed =
      IntersectRects(RectI{originX, originY, clampEdge(int64_t{originX} + mask.width),
                           clampEdge(int64_t{originY} + mask.height)},
                     RectI{0, 0, width_, height_});
  std::vector<uint8_t> area(static_cast<size_t>(width_) * height_, 0);
  for (int32_t y = placed.top; y < placed.bottom; ++y) {
    const uint8_t* bits = mask.Row(y - originY);
    uint8_t* out = area.data() + static_cast<size_t>(y) * width_;
    for (int32_t x = placed.left; x < placed.right; ++x) {
      const int32_t mx = x - originX;
      if (bits[mx >> 3] & (0x80 >> (mx & 7))) out[x] = 255;
    }
  }
  Combine(std::move(area), placed, mode);
  return true;
}

RectI UnionOf(const RectI& a, const RectI& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return RectI{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom)};
}

void ClipStack::Combine(std::vector<uint8_t> area, const RectI& areaBounds, int32_t mode) {
  // Only pixels inside the current bounds or the new area can be visible afterwards; the work
  // stays within them.
  RectI region = areaBounds;
  if (mode == kClipReplace) {
    current_.mask = std::move(area);
  } else if (mode == kClipIntersect && !current_.HasMask()) {
    // The common case, a shape inside a rectangle: the area itself, cut to the rectangle.
    region = IntersectRects(current_.bounds, areaBounds);
    for (int32_t y = areaBounds.top; y < areaBounds.bottom; ++y) {
      uint8_t* row = area.data() + static_cast<size_t>(y) * width_;
      for (int32_t x = areaBounds.left; x < areaBounds.right; ++x) {
        if (y < region.top || y >= region.bottom || x < region.left || x >= region.right)
          row[x] = 0;
      }
    }
    current_.mask = std::move(area);
  } else {
    std::vector<uint8_t> cur = AsMask(current_);
    region = (mode == kClipUnion || mode == kClipXor) ? UnionOf(current_.bounds, areaBounds)
             : mode == kClipIntersect                 ? IntersectRects(current_.bounds, areaBounds)
                                                      : current_.bounds;
    // Outside the region an intersection holds nothing: clear what the current clip had there.
    if (mode == kClipIntersect) {
      for (int32_t y = current_.bounds.top; y < current_.bounds.bottom; ++y) {
        uint8_t* c = cur.data() + static_cast<size_t>(y) * width_;
        for (int32_t x = current_.bounds.left; x < current_.bounds.right; ++x) {
          if (y < region.top || y >= region.bottom || x < region.left || x >= region.right)
            c[x] = 0;
        }
      }
    }
    for (int32_t y = region.top; y < region.bottom; ++y) {
      uint8_t* c = cur.data() + static_cast<size_t>(y) * width_;
      const uint8_t* n = area.data() + static_cast<size_t>(y) * width_;
      for (int32_t x = region.left; x < region.right; ++x) {
        switch (mode) {
          case kClipUnion:
            c[x] |= n[x];
            break;
          case kClipIntersect:
            c[x] &= n[x];
            break;
          case kClipDifference:
            c[x] &= static_cast<uint8_t>(~n[x]);
            break;
          default:
            c[x] ^= n[x];
            break;
        }
      }
    }
    current_.mask = std::move(cur);
  }
  // The tight bounds of what stays visible.
  RectI b{width_, height_, 0, 0};
  for (int32_t y = region.top; y < region.bottom; ++y) {
    const uint8_t* row = current_.mask.data() + static_cast<size_t>(y) * width_;
    int32_t first = region.left;
    while (first < region.right && row[first] == 0)
      ++first;
    if (first == region.right) continue;
    int32_t last = region.right;
    while (row[last - 1] == 0)
      --last;
    b.left = std::min(b.left, first);
    b.right = std::max(b.right, last);
    b.top = std::min(b.top, y);
    b.bottom = y + 1;
  }
  current_.bounds = b.Empty() ? RectI{} : b;
}

int32_t ClipStack::Pop(int32_t count) {
  int32_t n = 0;
  while (n < count && !saved_.empty()) {
    current_ = std::move(saved_.back());
    saved_.pop_back();
    ++n;
  }
  return n;
}

}  // namespace vk2::gfx
