#include "audio/engine/genericout/heard_time.h"

namespace vk2 {

void HeardTimeMap::Append(const AudioPacket* packet, uint64_t total) {
  Entry e;
  const double previousEnd = entries_.empty() ? timeBase_ : entries_.back().end;
  e.start = packet->position >= 0 ? packet->position : previousEnd;
  e.end = e.start + (packet->length > 0 ? packet->length : 0.0);
  e.totalBegin = total;
  e.totalEnd = total + packet->byteCount;
  e.streamId = packet->streamId;
  entries_.push_back(e);
}

bool HeardTimeMap::Advance(int64_t heard) {
  while (!entries_.empty() && static_cast<int64_t>(entries_.front().totalEnd) < heard) {
    entries_.pop_front();
  }
  if (entries_.empty()) return false;
  const Entry& e = entries_.front();
  const bool changed = currentStreamId_ != 0 && currentStreamId_ != e.streamId;
  timeBase_ = e.start;
  baseTotal_ = e.totalBegin;
  currentStreamId_ = e.streamId;
  return changed;
}

int64_t HeardTimeMap::NextIdChangeAt() const {
  if (currentStreamId_ == 0) return -1;
  for (const Entry& e : entries_) {
    // Advance takes an entry once the one before it has been heard past its end.
    if (e.streamId != currentStreamId_) return static_cast<int64_t>(e.totalBegin) + 1;
  }
  return -1;
}

}  // namespace vk2
