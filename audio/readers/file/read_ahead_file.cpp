#include "audio/readers/file/read_ahead_file.h"

#include <algorithm>
#include <new>
#include <vector>

namespace vk2 {
namespace {

// How long the thread rests at the end of the file before looking again (a seek wakes it).
constexpr uint32_t kEndOfFilePauseMs = 50;

}  // namespace

ReadAheadFile::~ReadAheadFile() {
  Close();
}

bool ReadAheadFile::Open(const std::string& path) {
  Close();
  ScopedLock lock(fileLock_);
  if (!file_.Open(path)) return false;
  position_ = 0;
  aheadPosition_ = 0;
  return true;
}

void ReadAheadFile::Close() {
  StopReadAhead();
  ScopedLock lock(fileLock_);
  file_.Close();
  position_ = 0;
}

bool ReadAheadFile::IsOpen() const {
  ScopedLock lock(fileLock_);
  return file_.IsOpen();
}

int64_t ReadAheadFile::Size() const {
  ScopedLock lock(fileLock_);
  return file_.Size();
}

int64_t ReadAheadFile::ReadAt(int64_t offset, void* buffer, size_t length) {
  ScopedLock lock(fileLock_);
  return file_.ReadAt(offset, buffer, length);
}

int64_t ReadAheadFile::Position() const {
  ScopedLock lock(fileLock_);
  return position_;
}

bool ReadAheadFile::SetPosition(int64_t offset) {
  ScopedLock lock(fileLock_);
  if (offset < 0 || !file_.IsOpen()) return false;
  position_ = offset;
  aheadPosition_ = offset;
  if (IsReadAheadRunning()) {
    // The first flush frees a thread blocked on a full ring; the rest, under the ring lock,
    // drops whatever it queued meanwhile and reopens a ring it closed at the end of the file;
    // the mark makes it drop a chunk it already holds.
    ring_.Flush();
    {
      ScopedLock ringLock(ringLock_);
      ring_.Close(false);
      ring_.Flush();
      positionChanged_.store(true, std::memory_order_release);
    }
    wake_.Set();
  }
  return true;
}

int64_t ReadAheadFile::ReadNext(void* buffer, size_t length, int64_t* start, Event* abort) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  if (start) *start = Position();
  if (IsReadAheadRunning()) {
    // Not under the file lock: the thread needs it to fill the ring this waits on.
    const int64_t n = ring_.Read(out, length, true, true, abort);
    done = n > 0 ? static_cast<size_t>(n) : 0;
    ScopedLock lock(fileLock_);
    position_ += static_cast<int64_t>(done);
    if (done == length) return static_cast<int64_t>(done);
    // Cut short by the caller: not the end of the file.
    if (abort && abort->Wait(0)) return kReadAborted;
    // Short with the thread still at work: the end of the file. Otherwise the thread has
    // gone (a stop or a failure) and the file itself gives the rest.
    if (IsReadAheadRunning()) return static_cast<int64_t>(done);
  }
  ScopedLock lock(fileLock_);
  const int64_t n = file_.ReadAt(position_, out + done, length - done);
  if (n < 0) return done > 0 ? static_cast<int64_t>(done) : kReadFailed;
  position_ += n;
  return static_cast<int64_t>(done) + n;
}

bool ReadAheadFile::StartReadAhead(size_t bufferBytes, size_t chunkBytes) {
  if (IsReadAheadRunning()) return true;
  if (bufferBytes == 0 || chunkBytes == 0 || chunkBytes > bufferBytes) return false;
  ScopedLock lock(fileLock_);
  if (!file_.IsOpen()) return false;
  thread_.Join();  // a thread that gave up by itself earlier
  thread_.CloseHandle();
  if (!ring_.Resize(bufferBytes)) return false;
  ring_.Flush();
  ring_.Close(false);
  ring_.SetAbort(false);
  // A stop or wake left over from the last run must not end this one at once.
  stopRequested_.store(false, std::memory_order_release);
  wake_.Reset();
  positionChanged_.store(false, std::memory_order_release);
  aheadPosition_ = position_;
  running_.store(true, std::memory_order_release);
  if (!thread_.Start([this, chunkBytes] {
        SetCurrentThreadName("vk2 read-ahead");
        ReadAheadLoop(chunkBytes);
      })) {
    running_.store(false, std::memory_order_release);
    return false;
  }
  thread_.SetPriority(ThreadPriority::kAboveNormal);
  return true;
}

void ReadAheadFile::StopReadAhead() {
  if (!thread_.IsStarted()) {
    running_.store(false, std::memory_order_release);
    return;
  }
  stopRequested_.store(true, std::memory_order_release);
  wake_.Set();
  ring_.SetAbort(true);
  // On the thread itself the join is refused; it ends at its next look at the stop mark.
  thread_.Join();
  thread_.CloseHandle();
  running_.store(false, std::memory_order_release);
  // Without a producer nobody may wait on the ring: closed, a reader gets the end at once.
  ring_.Flush();
  ring_.Close(true);
}

bool ReadAheadFile::PauseThread(uint32_t ms) {
  wake_.Wait(ms);
  return stopRequested_.load(std::memory_order_acquire);
}

void ReadAheadFile::ReadAheadLoop(size_t chunkBytes) {
  if (!FillRing(chunkBytes)) {
    // Given up (a read failed): reads go to the file again from the logical position, and a
    // reader waiting on the ring is let go.
    running_.store(false, std::memory_order_release);
    ScopedLock ringLock(ringLock_);
    ring_.Close(true);
  }
}

bool ReadAheadFile::FillRing(size_t chunkBytes) {
  std::vector<uint8_t> chunk;
  try {
    chunk.resize(chunkBytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (;;) {
    if (stopRequested_.load(std::memory_order_acquire)) return true;
    int64_t n;
    {
      ScopedLock lock(fileLock_);
      n = file_.ReadAt(aheadPosition_, chunk.data(), chunk.size());
      if (n > 0) aheadPosition_ += n;
      positionChanged_.store(false, std::memory_order_release);
    }
    if (n < 0) return false;
    if (n > 0) {
      ScopedLock ringLock(ringLock_);
      if (positionChanged_.load(std::memory_order_acquire)) continue;  // read before a seek
      // Refused only when stopping: the ring is reopened under this lock after a seek.
      if (ring_.Write(chunk.data(), static_cast<size_t>(n), true, true) < 0) return true;
      continue;
    }
    {
      ScopedLock ringLock(ringLock_);
      // A seek since the read wants data that is still to come.
      if (!positionChanged_.load(std::memory_order_acquire)) ring_.Close(true);
    }
    if (PauseThread(kEndOfFilePauseMs)) return true;
  }
}

}  // namespace vk2
