#include "oru/gui/controls/scroll_geometry.h"

#include <algorithm>
#include <cmath>

namespace vk2 {

int32_t ScrollGeometry::MaxPosition() const {
  return std::max(0, total - page);
}

int32_t ScrollGeometry::ThumbLength() const {
  if (trackLength <= 0) return 0;
  if (total <= 0 || page >= total) return trackLength;
  const int64_t length = int64_t{trackLength} * std::max(page, 0) / total;
  return static_cast<int32_t>(
      std::clamp<int64_t>(length, std::min(minThumb, trackLength), trackLength));
}

int32_t ScrollGeometry::ThumbStart(int32_t position) const {
  const int32_t travel = trackLength - ThumbLength();
  const int32_t maximum = MaxPosition();
  if (travel <= 0 || maximum <= 0) return trackStart;
  position = std::clamp(position, 0, maximum);
  return trackStart + static_cast<int32_t>(int64_t{travel} * position / maximum);
}

int32_t ScrollGeometry::PositionForThumbAt(int32_t pixel) const {
  const int32_t travel = trackLength - ThumbLength();
  const int32_t maximum = MaxPosition();
  if (travel <= 0 || maximum <= 0) return 0;
  const double fraction = std::clamp((pixel - trackStart) / static_cast<double>(travel), 0.0, 1.0);
  return static_cast<int32_t>(std::lround(fraction * maximum));
}

ScrollHit ScrollGeometry::HitAt(int32_t pixel, int32_t position) const {
  if (pixel < trackStart || pixel >= trackStart + trackLength) return ScrollHit::kNone;
  const int32_t start = ThumbStart(position);
  if (pixel < start) return ScrollHit::kBefore;
  if (pixel < start + ThumbLength()) return ScrollHit::kThumb;
  return ScrollHit::kAfter;
}

}  // namespace vk2
