// A file read in order, either directly on the caller's thread or through a read-ahead thread
// that keeps a ring buffer filled, so that a slow disk or network share does not starve
// playback. Random reads (ReadAt) never disturb the order.
//
// Positions: Position() is the byte the next ReadNext gives (the logical position). While
// read-ahead runs, the thread reads ahead of it by what the ring holds; SetPosition moves both
// and drops what was read ahead, including a chunk the thread is about to queue.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/readers/common/blocking_ring_buffer.h"
#include "audio/readers/file/local_file.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

inline constexpr int64_t kReadFailed = -1;
inline constexpr int64_t kReadAborted = -2;

class ReadAheadFile {
 public:
  ReadAheadFile() = default;
  ReadAheadFile(const ReadAheadFile&) = delete;
  ReadAheadFile& operator=(const ReadAheadFile&) = delete;
  ~ReadAheadFile();

  // Opens `path` at position 0. False when it cannot be opened.
  bool Open(const std::string& path);
  // Stops read-ahead and closes the file.
  void Close();
  bool IsOpen() const;

  // The file's size, or -1.
  int64_t Size() const;
  // Up to `length` bytes at `offset`, leaving the order alone: the count, or -1 on failure.
  int64_t ReadAt(int64_t offset, void* buffer, size_t length);
  int64_t Position() const;
  // False for a negative offset or a closed file. A position past the end reads nothing.
  bool SetPosition(int64_t offset);

  // The next bytes in order: blocks while read-ahead runs until `length` bytes are there or the
  // file ends. `start` (optional) receives the position of the first byte. Returns the count
  // (short only at the end of the file), kReadFailed when the file could not be read, or
  // kReadAborted when `abort` (optional) was set while waiting. When the read-ahead thread
  // stops or fails, reads go on from the file at the logical position.
  int64_t ReadNext(void* buffer, size_t length, int64_t* start = nullptr, Event* abort = nullptr);

  // Starts the read-ahead thread with a ring of `bufferBytes`, reading `chunkBytes` at a time
  // (at most `bufferBytes`). False when it cannot start: reads then go to the file directly.
  bool StartReadAhead(size_t bufferBytes, size_t chunkBytes);
  // Stops the thread (unless called on it) and drops what it had read ahead.
  void StopReadAhead();
  bool IsReadAheadRunning() const { return running_.load(std::memory_order_acquire); }

 private:
  void ReadAheadLoop(size_t chunkBytes);
  // The thread's work; false when it gave up.
  bool FillRing(size_t chunkBytes);
  // Waits up to `ms` for a stop or a reposition; true when stopping.
  bool PauseThread(uint32_t ms);

  // Lock order: file lock, then ring lock.
  mutable CriticalSection fileLock_;  // the file and the positions
  CriticalSection ringLock_;          // the thread's writes against repositioning flushes
  LocalFile file_;
  int64_t position_ = 0;       // next byte ReadNext gives
  int64_t aheadPosition_ = 0;  // next byte the read-ahead thread reads
  // Set by SetPosition; a chunk read before it is not queued.
  std::atomic<bool> positionChanged_{false};
  std::atomic<bool> running_{false};

  BlockingRingBuffer ring_;
  Thread thread_;
  std::atomic<bool> stopRequested_{false};
  Event wake_;  // a stop or a seek for the thread resting at the end of the file
};

}  // namespace vk2
