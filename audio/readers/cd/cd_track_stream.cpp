#include "audio/readers/cd/cd_track_stream.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "platform/sleep.h"

namespace vk2 {
namespace {

// Pause between tries of a read the drive failed.
constexpr uint32_t kRetryPauseMs = 1;

}  // namespace

CdTrackStream::CdTrackStream() = default;

CdTrackStream::~CdTrackStream() {
  Detach();
}

void CdTrackStream::Attach(std::unique_ptr<CdDrive> drive, int64_t firstSector,
                           int64_t sectorCount) {
  Detach();
  ScopedLock lock(lock_);
  drive_ = std::move(drive);
  firstSector_ = firstSector;
  sectorCount_ = std::max<int64_t>(sectorCount, 0);
  nextSector_ = 0;
  consumedFrame_ = 0;
  failed_ = false;
  ++generation_;
  readGeneration_ = generation_;
}

void CdTrackStream::Detach() {
  Stop();
  ScopedLock lock(lock_);
  drive_.reset();
}

bool CdTrackStream::IsAttached() const {
  ScopedLock lock(lock_);
  return drive_ != nullptr;
}

bool CdTrackStream::Start() {
  if (IsRunning()) return true;
  {
    ScopedLock lock(lock_);
    if (!drive_) return false;
    thread_.Join();  // a thread that ended by itself earlier
    thread_.CloseHandle();
    ring_.Flush();
    ring_.Close(false);
    ring_.SetAbort(false);
    failed_ = false;
    stopRequested_.store(false, std::memory_order_release);
    wake_.Reset();
    running_.store(true, std::memory_order_release);
  }
  if (!thread_.Start([this] {
        SetCurrentThreadName("vk2 CD buffer");
        BufferLoop();
      })) {
    running_.store(false, std::memory_order_release);
    return false;
  }
  return true;
}

void CdTrackStream::Stop() {
  if (thread_.IsStarted()) {
    stopRequested_.store(true, std::memory_order_release);
    wake_.Set();
    ring_.SetAbort(true);
    // On the buffer thread itself the join is refused; it ends at its next look at the mark.
    thread_.Join();
    thread_.CloseHandle();
  }
  running_.store(false, std::memory_order_release);
  ScopedLock lock(lock_);
  ring_.Flush();
  ring_.Close(true);
  // Whatever was read ahead is gone: the next start plays the track from its beginning, as
  // the time it reports says.
  nextSector_ = 0;
  consumedFrame_ = 0;
  ++generation_;
  readGeneration_ = generation_;
}

void CdTrackStream::SeekToSector(int64_t sectorOffset) {
  // The mark keeps the thread from queueing more, the interrupt frees it when it is blocked on
  // a full ring, so that it lets the ring lock go without queueing its block.
  seeking_.store(true, std::memory_order_release);
  interrupt_.Set();
  {
    ScopedLock ringLock(ringLock_);
    ScopedLock lock(lock_);
    interrupt_.Reset();
    seeking_.store(false, std::memory_order_release);
    const int64_t target = std::clamp<int64_t>(sectorOffset, 0, sectorCount_);
    ring_.Flush();
    ring_.Close(!IsRunning());
    nextSector_ = target;
    consumedFrame_ = target * kCdFramesPerSector;
    failed_ = false;
    ++generation_;
  }
  wake_.Set();
}

CdTrackStream::ReadResult CdTrackStream::Read(uint8_t* out, size_t count, Event* abort) {
  ReadResult result;
  for (;;) {
    {
      ScopedLock lock(lock_);
      if (!IsRunning()) return result;
    }
    // Waits, without taking anything and without the lock (the buffer thread needs it), until
    // the bytes are there or no more will come.
    const int64_t peeked = ring_.Read(out, count, true, false, abort);
    if (peeked < 0 || (abort && abort->Wait(0))) {
      result.outcome = Outcome::kAborted;
      return result;
    }
    // Taken under the lock, so that a seek's flush cannot fall between the bytes and the frame
    // they are counted as.
    ScopedLock lock(lock_);
    if (!IsRunning() || ring_.IsAborted()) {
      result.outcome = Outcome::kAborted;
      return result;
    }
    const bool closed = ring_.IsClosed();
    if (ring_.Available() < count && !closed) continue;  // a seek emptied the ring meanwhile
    const int64_t n = ring_.Read(out, count, false, true);
    result.bytes = n > 0 ? static_cast<size_t>(n) : 0;
    result.startFrame = consumedFrame_;
    result.repositioned = readGeneration_ != generation_;
    readGeneration_ = generation_;
    consumedFrame_ += static_cast<int64_t>(result.bytes / kCdFrameBytes);
    // Short only once the ring is closed: the end of the track, or the drive gave up.
    result.outcome = result.bytes < count && failed_ ? Outcome::kFailed : Outcome::kData;
    return result;
  }
}

CdReadStatus CdTrackStream::ReadBlock(int64_t sector, uint32_t count, uint8_t* out) {
  CdReadStatus status = CdReadStatus::kFailed;
  for (int attempt = 0; attempt < kCdReadAttempts; ++attempt) {
    if (attempt > 0) SleepMs(kRetryPauseMs);
    if (stopRequested_.load(std::memory_order_acquire)) return CdReadStatus::kFailed;
    status = drive_->ReadAudio(firstSector_ + sector, count, out);
    if (status != CdReadStatus::kDeviceError) return status;
  }
  return status;
}

void CdTrackStream::Rest() {
  // Woken by a seek (which reopens the ring) or a stop; nothing else can change.
  wake_.Wait();
}

void CdTrackStream::BufferLoop() {
  std::vector<uint8_t> block;
  try {
    block.resize(static_cast<size_t>(kCdSectorsPerRead) * kCdSectorBytes);
  } catch (const std::bad_alloc&) {
    ScopedLock lock(lock_);
    failed_ = true;
    ring_.Close(true);
    return;
  }
  while (!stopRequested_.load(std::memory_order_acquire)) {
    int64_t sector = -1;
    uint32_t count = 0;
    uint64_t generation;
    {
      ScopedLock lock(lock_);
      if (nextSector_ >= sectorCount_ || failed_) {
        // The end of the track: a reader drains the ring and then hears of the end.
        ring_.Close(true);
        sector = -1;
      } else {
        sector = nextSector_;
        // Never past the track's end: the next track is not this stream's, and past the
        // lead-out the drive fails.
        count =
            static_cast<uint32_t>(std::min<int64_t>(kCdSectorsPerRead, sectorCount_ - nextSector_));
      }
      generation = generation_;
    }
    if (sector < 0) {
      Rest();
      continue;
    }
    // The drive is read outside the locks, so a seek never waits for a slow drive.
    const CdReadStatus status = ReadBlock(sector, count, block.data());
    ScopedLock ringLock(ringLock_);
    if (seeking_.load(std::memory_order_acquire)) continue;
    {
      ScopedLock lock(lock_);
      if (generation != generation_) continue;  // read for a position a seek has left
      if (status != CdReadStatus::kOk) {
        // Given up: the reader gets what came before, then the failure. A seek tries again.
        failed_ = !stopRequested_.load(std::memory_order_acquire);
        ring_.Close(true);
        continue;
      }
    }
    // Refused when stopping, or when a seek wants the ring lock: the block is read again for
    // whatever position comes next.
    if (ring_.Write(block.data(), static_cast<size_t>(count) * kCdSectorBytes, true, true,
                    &interrupt_) < 0) {
      continue;
    }
    ScopedLock lock(lock_);
    if (generation == generation_) nextSector_ += count;
  }
  ScopedLock lock(lock_);
  ring_.Close(true);
}

}  // namespace vk2
