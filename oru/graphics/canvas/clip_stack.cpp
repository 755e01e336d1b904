#include "oru/graphics/canvas/clip_stack.h"

#include <algorithm>

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
      current_.bounds = IntersectRects(current_.bounds, r);
      if (current_.HasMask()) {
        Combine(AsMask(ClipState{r, {}}), mode);
      }
      return true;
    case kClipUnion:
    case kClipDifference:
    case kClipXor:
      Combine(AsMask(ClipState{r, {}}), mode);
      return true;
    default:
      return false;
  }
}

bool ClipStack::CombineMask(const SurfaceView& mask, int32_t originX, int32_t originY, int32_t mode,
                            bool push) {
  if (mode < kClipReplace || mode > kClipXor || mask.format != PixelFormat::kMask1) {
    if (push) saved_.push_back(current_);
    return false;
  }
  std::vector<uint8_t> area(static_cast<size_t>(width_) * height_, 0);
  const RectI placed =
      IntersectRects(RectI{originX, originY, originX + mask.width, originY + mask.height},
                     RectI{0, 0, width_, height_});
  for (int32_t y = placed.top; y < placed.bottom; ++y) {
    const uint8_t* bits = mask.Row(y - originY);
    uint8_t* out = area.data() + static_cast<size_t>(y) * width_;
    for (int32_t x = placed.left; x < placed.right; ++x) {
      const int32_t mx = x - originX;
      if (bits[mx >> 3] & (0x80 >> (mx & 7))) out[x] = 255;
    }
  }
  if (push) saved_.push_back(current_);
  Combine(area, mode);
  return true;
}

void ClipStack::Combine(const std::vector<uint8_t>& area, int32_t mode) {
  if (mode == kClipReplace) {
    current_.mask = area;
  } else {
    std::vector<uint8_t> cur = AsMask(current_);
    for (size_t i = 0; i < cur.size(); ++i) {
      switch (mode) {
        case kClipUnion:
          cur[i] |= area[i];
          break;
        case kClipIntersect:
          cur[i] &= area[i];
          break;
        case kClipDifference:
          cur[i] &= static_cast<uint8_t>(~area[i]);
          break;
        default:
          cur[i] ^= area[i];
          break;
      }
    }
    current_.mask = std::move(cur);
  }
  // The tight bounds of what stays visible.
  RectI b{width_, height_, 0, 0};
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* row = current_.mask.data() + static_cast<size_t>(y) * width_;
    const uint8_t* first = std::find(row, row + width_, uint8_t{255});
    if (first == row + width_) continue;
    const int32_t lastX =
        static_cast<int32_t>(width_ - (std::find(std::make_reverse_iterator(row + width_),
                                                 std::make_reverse_iterator(row), uint8_t{255}) -
                                       std::make_reverse_iterator(row + width_)));
    b.left = std::min(b.left, static_cast<int32_t>(first - row));
    b.right = std::max(b.right, lastX);
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
