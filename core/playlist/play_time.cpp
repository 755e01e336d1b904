#include "core/playlist/play_time.h"

#include <limits>

namespace vk2 {
namespace {

bool HasDurationType(const ItemInfo& info) {
  return info.Has(kDurationTypePresent);
}

// A duration the list can count on: estimated or verified, with its value.
bool IsKnown(const ItemInfo& info) {
  const uint32_t type = info.GetDurationType();
  return HasDurationType(info) && info.Has(kDurationPresent) &&
         (type == kDurationEstimate || type == kDurationVerified);
}

}  // namespace

PlayTime TotalPlayTime(const ItemList& list, uint32_t stopId) {
  PlayTime result;
  uint32_t n = 0;
  uint32_t known = 0;
  double sum = 0.0;
  bool stopped = false;
  bool infinite = false;
  uint32_t type = kDurationUnknown;
  list.ForEach([&](const PlaylistItem* item) {
    if (stopped || (stopId != 0 && item->Id() == stopId)) {
      stopped = true;
      return;
    }
    ++n;
    const ItemInfo& info = item->info;
    if (HasDurationType(info) && info.GetDurationType() == kDurationInfinite) infinite = true;
    if (!IsKnown(info)) return;
    ++known;
    sum += info.duration;
    if (info.GetDurationType() == kDurationEstimate) {
      type = kDurationEstimate;
    } else if (type == kDurationUnknown) {
      type = kDurationVerified;
    }
  });
  if (n == 0) return result;
  if (infinite) return {std::numeric_limits<double>::infinity(), kDurationInfinite};
  if (known == 0) return {0.0, kDurationUnknown};
  if (known < n) {
    result.seconds = static_cast<double>(n) * sum / known;
    result.type = kDurationEstimate;
  } else {
    result.seconds = sum;
    result.type = type;
  }
  return result;
}

bool SongAtTime(const ItemList& list, double seconds, bool fraction, uint32_t* id) {
  const PlayTime total = TotalPlayTime(list, 0);
  if (total.type == kDurationUnknown || total.type == kDurationInfinite) return false;
  if (fraction) seconds *= total.seconds;
  const double average = list.Count() ? total.seconds / list.Count() : 0.0;
  double end = 0.0;
  *id = 0;
  list.ForEach([&](const PlaylistItem* item) {
    if (*id != 0 || !HasDurationType(item->info)) return;
    end += IsKnown(item->info) ? item->info.duration : average;
    if (end > seconds) *id = item->Id();
  });
  return true;
}

}  // namespace vk2
