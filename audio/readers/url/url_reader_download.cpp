// The URL reader's bytes: the download thread that fills the ring, the cache thread that
// fills the cache file (and where that file goes), and the sequential reads that take from
// them, or from the connection itself when neither runs.
#include <algorithm>
#include <vector>

#include "audio/readers/common/reader_results.h"
#include "audio/readers/common/sound_io_errors.h"
#include "audio/readers/url/url_reader.h"
#include "foundation/util/result.h"
#include "platform/clock.h"
#include "platform/sleep.h"
#include "platform/user_folders.h"

namespace vk2 {
namespace {

constexpr uint32_t kRestMs = 50;

}  // namespace

int32_t UrlReader::ReadFailure(int64_t result) {
  if (result == kNetworkCancelled) return MediaError(kMsWrongState);  // the chain is stopping
  return SoundIoError(kSoundIoDisconnected);
}

bool UrlReader::StartCaching() {
  std::string folder;
  {
    ScopedLock config(configLock_);
    folder = cacheFolder_;
  }
  if (folder.empty()) folder = UserFolderPath(UserFolder::kCache);
  if (!cache_.Create(folder)) return false;
  caching_ = true;
  StartDownload(nullptr);
  return true;
}

void UrlReader::StartDownload(Event* abort) {
  if (thread_.IsStarted()) return;
  int32_t bufferSize;
  double prebuffer;
  {
    ScopedLock props(propertyLock_);
    bufferSize = bufferSize_;
    prebuffer = prebuffer_;
  }
  stop_.Reset();
  interrupt_.Reset();
  ring_.SetAbort(false);
  downloadError_.store(0);
  downloadFinished_.store(false);
  if (caching_) {
    if (!thread_.Start([this] {
          SetCurrentThreadName("vk2 stream cache");
          CacheLoop();
        })) {
      // Nobody fills the cache: readers get the end of what is there.
      downloadFinished_.store(true);
      return;
    }
    thread_.SetPriority(ThreadPriority::kAboveNormal);
    return;
  }
  {
    ScopedLock ringLock(ringLock_);
    // Bytes left from an earlier run stay queued: they are the next ones in order.
    if (!ring_.Resize(static_cast<size_t>(bufferSize))) return;
    ring_.Close(false);
  }
  ringInUse_.store(true);
  if (!thread_.Start([this] {
        SetCurrentThreadName("vk2 download");
        DownloadLoop();
      })) {
    ringInUse_.store(false);  // reads go to the connection
    return;
  }
  thread_.SetPriority(ThreadPriority::kAboveNormal);
  if (prebuffer <= 0.0) return;
  inPrebuffer_.store(true);
  Clock& clock = CurrentClock();
  const uint64_t deadline = clock.NowMs() + kPrebufferLimitMs;
  for (;;) {
    const size_t capacity = ring_.Capacity();
    const double level = capacity ? static_cast<double>(ring_.Available()) / capacity : 1.0;
    // A stream that ends (or fails) before the level is reached plays what it has.
    if (level >= prebuffer || downloadFinished_.load() || ring_.IsClosed()) break;
    if (clock.NowMs() >= deadline) break;
    if (abort ? abort->Wait(1) : (SleepMs(1), false)) break;
  }
  inPrebuffer_.store(false);
}

void UrlReader::StopDownload() {
  if (thread_.IsStarted()) {
    stop_.Set();
    interrupt_.Set();
    wake_.Set();
    ring_.SetAbort(true);
    thread_.Join();
    thread_.CloseHandle();
    ring_.SetAbort(false);
  }
  // What the thread queued stays for the next reads; nobody waits for more.
  ScopedLock ringLock(ringLock_);
  ring_.Close(true);
}

bool UrlReader::Rest(uint32_t ms) {
  wake_.Wait(ms);
  return stop_.Wait(0);
}

void UrlReader::DownloadLoop() {
  std::vector<uint8_t> chunk(kDownloadChunk);
  for (;;) {
    if (stop_.Wait(0)) return;
    uint64_t generation;
    int64_t n;
    {
      // Taken with the read: a reconnect changes both under this lock.
      ScopedLock c(connectionLock_);
      generation = generation_.load();
      n = connection_ ? connection_->Read(chunk.data(), chunk.size(), kNetworkReadWait, &interrupt_)
                      : int64_t{kNetworkNotOpen};
    }
    if (n == kNetworkCancelled) {
      // Stopping, or a reconnect wants the connection: give way.
      if (stop_.Wait(0) || Rest(1)) return;
      continue;
    }
    if (n > 0) {
      ScopedLock ringLock(ringLock_);
      if (generation != generation_.load()) continue;  // read before a reconnect
      if (ring_.Write(chunk.data(), static_cast<size_t>(n), true, true, &stop_) < 0) {
        if (stop_.Wait(0)) return;
      }
      continue;
    }
    {
      ScopedLock ringLock(ringLock_);
      if (generation == generation_.load()) {
        if (n < 0 && n != kNetworkNotOpen) downloadError_.store(ReadFailure(n));
        ring_.Close(true);
        downloadFinished_.store(true);
      }
    }
    // Nothing more from this connection; a reconnect gives the thread work again.
    while (generation == generation_.load()) {
      if (Rest(kRestMs)) return;
    }
  }
}

void UrlReader::CacheLoop() {
  std::vector<uint8_t> chunk(kDownloadChunk);
  for (;;) {
    if (stop_.Wait(0)) return;
    int64_t n;
    {
      ScopedLock c(connectionLock_);
      n = connection_ ? connection_->Read(chunk.data(), chunk.size(), kNetworkReadWait, &stop_)
                      : int64_t{kNetworkNotOpen};
    }
    if (n == kNetworkCancelled) {
      // Nothing more will come: a reader waiting on the cache takes what is there.
      downloadFinished_.store(true);
      return;
    }
    if (n > 0 && cache_.Append(chunk.data(), static_cast<size_t>(n))) continue;
    if (n > 0) {
      downloadError_.store(kReaderFileFailed);
    } else if (n < 0 && n != kNetworkNotOpen) {
      downloadError_.store(ReadFailure(n));
    }
    cache_.FinishWriting();
    downloadFinished_.store(true);
    return;
  }
}

UrlReader::PacketBytes UrlReader::ReadForPacket(uint8_t* data, uint32_t capacity, Event* abort) {
  PacketBytes out;
  if (!open_) {
    out.result = kReaderNotOpen;
    return out;
  }
  const int64_t position = position_.load();
  if (position < 0) {
    out.result = MediaError(kMsCannotSeek);
    return out;
  }
  const int64_t n = Read(data, capacity, abort, &out.more);
  if (n < 0) {
    out.result = static_cast<int32_t>(n);
    return out;
  }
  position_.store(position + n);
  out.count = static_cast<uint32_t>(n);
  out.position = static_cast<double>(position);
  return out;
}

int64_t UrlReader::Read(uint8_t* buffer, size_t length, Event* abort, bool* more) {
  if (caching_) return ReadFromCache(buffer, length, abort, more);
  size_t done = 0;
  if (replay_ < 0) {
    const size_t n = std::min(static_cast<size_t>(-replay_), length);
    history_.CopyFromEnd(static_cast<size_t>(-replay_), buffer, n);
    replay_ += static_cast<int64_t>(n);
    done = n;
    if (done == length) return static_cast<int64_t>(done);
  }
  int64_t got = 0;
  if (ringInUse_.load()) {
    const int64_t r = ring_.Read(buffer + done, length - done, true, true, abort);
    if (r < 0) {
      if (done == 0) return MediaError(kMsWrongState);
      *more = true;
    }
    got = std::max<int64_t>(r, 0);
    if (static_cast<size_t>(got) < length - done) {
      const int32_t error = downloadError_.load();
      if (error < 0) {
        if (done + static_cast<size_t>(got) == 0) return error;
        *more = true;
      }
    }
  } else {
    got = ReadDirect(buffer + done, length - done, abort, more);
    if (got < 0) {
      if (done == 0) return got;
      *more = true;
      got = 0;
    }
  }
  history_.Append(buffer + done, static_cast<size_t>(got));
  return static_cast<int64_t>(done) + got;
}

int64_t UrlReader::ReadDirect(uint8_t* buffer, size_t length, Event* abort, bool* more) {
  size_t got = 0;
  // Bytes a stopped download left queued come first.
  const int64_t queued = ring_.Read(buffer, length, false);
  if (queued > 0) got = static_cast<size_t>(queued);
  ScopedLock c(connectionLock_);
  while (got < length) {
    const int64_t n =
        connection_ ? connection_->Read(buffer + got, length - got, kNetworkReadWait, abort) : 0;
    if (n == 0 || n == kNetworkNotOpen) break;
    if (n < 0) {
      if (got == 0) return ReadFailure(n);
      *more = true;
      break;
    }
    got += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(got);
}

int64_t UrlReader::ReadFromCache(uint8_t* buffer, size_t length, Event* abort, bool* more) {
  const int64_t position = position_.load();
  size_t done = 0;
  while (done < length) {
    const int64_t n =
        cache_.ReadAt(position + static_cast<int64_t>(done), buffer + done, length - done);
    if (n < 0) {
      if (done == 0) return kReaderFileFailed;
      *more = true;
      break;
    }
    done += static_cast<size_t>(n);
    if (n > 0) continue;
    if (downloadFinished_.load()) {
      // Read once more: the last bytes may have come with the finish.
      const int64_t last =
          cache_.ReadAt(position + static_cast<int64_t>(done), buffer + done, length - done);
      if (last > 0) {
        done += static_cast<size_t>(last);
        continue;
      }
      const int32_t error = downloadError_.load();
      if (error < 0) {
        if (done == 0) return error;
        *more = true;
      }
      break;
    }
    if (abort ? abort->Wait(1) : (SleepMs(1), false)) {
      if (done == 0) return MediaError(kMsWrongState);
      *more = true;
      break;
    }
  }
  return static_cast<int64_t>(done);
}

}  // namespace vk2
