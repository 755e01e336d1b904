// Maps the bytes written to the device back to stream time and stream ids: one entry per packet
// fetched, dropped once the listener has heard past it. The time now heard is
//   time base + max(free + total - N - base total, 0) / bytes per second
// (free + total - N being the bytes heard so far), the one formula for the "streamtime"
// property, volume ramps and time notifications alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "interfaces/audio/audio_packet.h"

namespace vk2 {

class HeardTimeMap {
 public:
  struct Entry {
    double start = 0;         // stream time of the packet's first byte
    double end = 0;           // start + length
    uint64_t totalBegin = 0;  // bytes written to the device before the packet
    uint64_t totalEnd = 0;    // ... and after it
    int32_t streamId = 0;
  };

  // Forgets every entry and restarts the time base at `time` from `total` bytes written.
  void Reset(double time, uint64_t total) {
    entries_.clear();
    timeBase_ = time;
    baseTotal_ = total;
  }
  void Append(const Entry& e) { entries_.push_back(e); }
  // The entry of a packet fetched when `total` bytes had been written. A packet of unknown
  // position continues where the previous one ended.
  void Append(const AudioPacket* packet, uint64_t total);

  // After a write: `heard` bytes have been heard. Entries heard to their end are dropped; the
  // first remaining one is the one being heard and becomes the time base. Returns true when the
  // stream id heard changes from a non-zero id to another (the first id is only taken).
  bool Advance(int64_t heard);

  // The bytes heard at which Advance will next report a change of stream id; -1 when none is
  // coming among the entries kept.
  int64_t NextIdChangeAt() const;

  // Stream time heard when `heardBytes` bytes have been heard at `bytesPerSecond`.
  double TimeAt(int64_t heardBytes, uint32_t bytesPerSecond) const {
    const int64_t into = heardBytes - static_cast<int64_t>(baseTotal_);
    if (bytesPerSecond == 0 || into <= 0) return timeBase_;
    return timeBase_ + static_cast<double>(into) / bytesPerSecond;
  }

  double TimeBase() const { return timeBase_; }
  uint64_t BaseTotal() const { return baseTotal_; }
  int32_t CurrentStreamId() const { return currentStreamId_; }
  void SetCurrentStreamId(int32_t id) { currentStreamId_ = id; }
  size_t Size() const { return entries_.size(); }

 private:
  std::deque<Entry> entries_;
  double timeBase_ = 0;
  uint64_t baseTotal_ = 0;
  int32_t currentStreamId_ = 0;
};

}  // namespace vk2
