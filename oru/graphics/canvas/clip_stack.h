// The canvas's clip: a rectangle, and where rectangles no longer describe it, a coverage byte
// per target pixel (0 or 255). Saved states stack up; pops restore them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2::gfx {

struct ClipState {
  RectI bounds;               // nothing outside is visible; empty when nothing is
  std::vector<uint8_t> mask;  // target-sized; empty when `bounds` alone is the clip

  bool HasMask() const { return !mask.empty(); }
};

class ClipStack {
 public:
  explicit ClipStack(int32_t width = 0, int32_t height = 0);

  const ClipState& Current() const { return current_; }
  // Combines a rectangle (or a 1-bit mask placed at origin) with the current clip by `mode`
  // (ClipMode), first saving the current clip when `push`. False for an unknown mode, which
  // leaves the clip as it was (a push still happens so pops stay paired).
  bool CombineRect(const RectI& rect, int32_t mode, bool push);
  bool CombineMask(const SurfaceView& mask, int32_t originX, int32_t originY, int32_t mode,
                   bool push);
  // Restores up to `count` saved clips; the number restored.
  int32_t Pop(int32_t count);
  size_t Depth() const { return saved_.size(); }

 private:
  void Combine(std::vector<uint8_t> area, const RectI& areaBounds, int32_t mode);
  std::vector<uint8_t> AsMask(const ClipState& s) const;

  int32_t width_;
  int32_t height_;
  ClipState current_;
  std::vector<ClipState> saved_;
};

RectI IntersectRects(const RectI& a, const RectI& b);
// The smallest rectangle holding both; an empty one adds nothing.
RectI UnionOf(const RectI& a, const RectI& b);

}  // namespace vk2::gfx
