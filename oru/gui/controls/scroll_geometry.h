// A scroll bar's arithmetic: the thumb's length and place on the track for a content of
// `total` units of which `page` show from `position`, and the way back from the pointer.
#pragma once

#include <cstdint>

namespace vk2 {

enum class ScrollHit { kNone, kBefore, kThumb, kAfter };

struct ScrollGeometry {
  int32_t trackStart = 0;   // pixels along the bar where the track begins (after an arrow)
  int32_t trackLength = 0;  // pixels
  int32_t total = 0;        // content units
  int32_t page = 0;         // units shown at once
  int32_t minThumb = 8;     // pixels

  int32_t MaxPosition() const;
  // The thumb fills the track when everything shows.
  int32_t ThumbLength() const;
  int32_t ThumbStart(int32_t position) const;
  // The position for the thumb's leading edge at `pixel` (a drag), rounded and kept in range.
  int32_t PositionForThumbAt(int32_t pixel) const;
  ScrollHit HitAt(int32_t pixel, int32_t position) const;
};

}  // namespace vk2
