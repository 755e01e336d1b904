// One CD track read ahead: a buffer thread reads whole sectors from the drive into a ring, the
// thread that pulls packets takes the samples out in order. Seeks move both to a sector
// boundary and drop everything read for the old position, including a block the thread is
// about to queue; the reader learns of a seek from the read that follows it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/readers/common/blocking_ring_buffer.h"
#include "platform/cd/cd_drive.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

// Ring size, and the sectors each raw read asks for (consecutive reads do not overlap, so
// every sector is queued exactly once).
inline constexpr size_t kCdRingBytes = 81920;
inline constexpr uint32_t kCdSectorsPerRead = 8;
// Tries of a read the drive failed before the track is given up.
inline constexpr int kCdReadAttempts = 4;

class CdTrackStream {
 public:
  enum class Outcome {
    kData,        // bytes came; fewer than asked only at the end of the track
    kFailed,      // the drive failed for good; `bytes` may still hold what came before
    kAborted,     // the caller's abort event, or a stop
    kNotRunning,  // no buffer thread: nothing will come
  };
  struct ReadResult {
    Outcome outcome = Outcome::kNotRunning;
    size_t bytes = 0;
    int64_t startFrame = 0;     // frame of the track the first byte belongs to
    bool repositioned = false;  // the first read after a seek
  };

  CdTrackStream();
  CdTrackStream(const CdTrackStream&) = delete;
  CdTrackStream& operator=(const CdTrackStream&) = delete;
  ~CdTrackStream();

  // Takes the drive and the track's sectors; the position goes to the track's start.
  void Attach(std::unique_ptr<CdDrive> drive, int64_t firstSector, int64_t sectorCount);
  // Stops and lets the drive go.
  void Detach();
  bool IsAttached() const;

  // Starts the buffer thread from the current position. False when it cannot start.
  bool Start();
  // Stops the thread, drops what it read and goes back to the track's start.
  void Stop();
  bool IsRunning() const { return running_.load(std::memory_order_acquire); }

  // Moves to `sectorOffset` sectors into the track (clamped to the track).
  void SeekToSector(int64_t sectorOffset);

  // Up to `count` bytes in order, blocking until they are there, the track ends, the drive
  // fails, `abort` (may be null) is set or the stream stops.
  ReadResult Read(uint8_t* out, size_t count, Event* abort);

 private:
  void BufferLoop();
  // One block at `sector`; retries the drive's own failures.
  CdReadStatus ReadBlock(int64_t sector, uint32_t count, uint8_t* out);
  // Rests at the end of the track or after a failure until a seek or a stop.
  void Rest();

  // Lock order: ringLock_, then lock_. The thread that pulls takes lock_ only, and never while
  // it waits; bytes leave the ring only under lock_, so every byte is counted at its frame.
  CriticalSection ringLock_;        // the thread's ring writes against a seek's flush
  mutable CriticalSection lock_;    // the positions, the generation and the failure
  std::unique_ptr<CdDrive> drive_;  // used by the buffer thread only while it runs
  int64_t firstSector_ = 0;
  int64_t sectorCount_ = 0;
  int64_t nextSector_ = 0;       // next sector the thread reads, relative to the track
  int64_t consumedFrame_ = 0;    // frame of the next byte Read gives
  uint64_t generation_ = 0;      // grows with every seek and stop
  uint64_t readGeneration_ = 0;  // generation of the last Read
  bool failed_ = false;

  BlockingRingBuffer ring_{kCdRingBytes};
  Thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> seeking_{false};  // a seek waits for the ring lock: queue nothing more
  Event interrupt_;                   // frees the thread's blocked write for a seek
  Event wake_;                        // a seek or a stop for a resting thread
};

}  // namespace vk2
