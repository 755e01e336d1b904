// `URLReader`: the stream reader for "http://", "ftp://" and "raw://" URLs. Bytes reach the
// decoder straight from the connection, through a ring that a download thread fills (waiting
// for a prebuffer level before playback), or through a cache file on disk that makes a
// download of known length seekable. It answers stream metadata from the response headers and
// the audiocast side channel, and keeps a history of delivered bytes for short steps back.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/readers/common/blocking_ring_buffer.h"
#include "audio/readers/common/stream_reader_base.h"
#include "audio/readers/url/audiocast_channel.h"
#include "audio/readers/url/proxy_source.h"
#include "audio/readers/url/stream_cache_file.h"
#include "audio/readers/url/stream_history.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/network.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/net/header_list.h"
#include "platform/thread.h"

namespace vk2 {

inline constexpr int32_t kDefaultStreamBufferSize = 65536;
inline constexpr int32_t kMinStreamBufferSize = 8192;
inline constexpr double kDefaultPrebuffer = 0.75;
// Bytes kept for stepping back. Enough for the headers a decoder reads while probing a stream
// that cannot seek, so that the rewind after the probe is served from here.
inline constexpr size_t kStreamHistoryBytes = 65536;
// A step forward up to this far beyond what has arrived is read and dropped, not reconnected.
inline constexpr int64_t kForwardSkipBytes = 16384;
// Bytes a download step, a cache step or a skip reads at a time.
inline constexpr size_t kDownloadChunk = 4096;
// Longest wait for the prebuffer level; the chain then plays what it has.
inline constexpr uint32_t kPrebufferLimitMs = 30000;

class UrlReader final : public StreamReaderBase {
 public:
  // Makes a new, unopened connection (one reference); null when none can be had.
  using ConnectionFactory = std::function<RefPtr<MNetwork>()>;

  // Connections come from the runtime's network service.
  UrlReader();
  explicit UrlReader(ConnectionFactory factory);

  // Proxy settings for the connections opened from now on; null: direct.
  void SetProxySource(std::shared_ptr<ProxySource> source);
  // Time limits of the connections opened from now on. `openMs` bounds the whole of Open (the
  // probe and the real request, every redirect), and each reconnect on its own.
  void SetTimeouts(const NetworkTimeouts& timeouts);
  // Where cache files go (default: the user's cache folder).
  void SetCacheFolder(const std::string& folder);

  int32_t StateChange(int32_t state) override;
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;
  int32_t CanRead(const char16_t* url, uint32_t* score1, uint32_t* score2) override;
  int32_t GetAccessCost(const char16_t* url) override;
  int32_t Open(const char16_t* url) override;
  int32_t Close() override;
  int32_t GetSize(int64_t* total, int64_t* available) override;
  int32_t ReadAt(int64_t offset, void* buffer, uint32_t length, uint32_t* count) override;
  bool IsSeekable() override { return seekable_.load(std::memory_order_acquire); }
  int32_t GetPosition(int64_t* position) override;
  int32_t SetPosition(int64_t offset) override;

  // For tests.
  bool IsCaching() const { return caching_; }
  bool IsRingInUse() const { return ringInUse_.load(std::memory_order_acquire); }
  std::string CachePath() const { return cache_.Path(); }
  uint16_t AudiocastLocalPort() const { return audiocast_ ? audiocast_->LocalPort() : 0; }
  // Connections opened so far (the probe, reopens, reconnects; not ReadAt's).
  int32_t ConnectionsOpened() const { return opened_.load(std::memory_order_relaxed); }

 private:
  ~UrlReader() override;

  PacketBytes ReadForPacket(uint8_t* data, uint32_t capacity, Event* abort) override;
  void AddProperties();
  // A header of the stream: the response's `icy` name first, then the audiocast name.
  int32_t HeaderProperty(const char* icy, const char* audiocast, TString* value);
  bool CanOpenAtOffset() const { return (capabilities_.load() & kNetworkCanOpenAtOffset) != 0; }

  RefPtr<MNetwork> NewConnection(bool withSink);
  // When an open starting now must be done, on the current clock.
  uint64_t OpenDeadline();
  // Opens `connection` at `start` to the end (or to `end`) by `deadline`, counting it.
  int32_t OpenConnection(MNetwork& connection, int64_t start, int64_t end, Event* cancel,
                         uint64_t deadline);
  // Ends an Open under way on another thread; true when there was one.
  bool CancelOpen();
  void TakeResponse(MNetwork& connection);

  // What a failed read of the stream tells the user.
  static int32_t ReadFailure(int64_t netResult);
  // The sequential read: a count, or a reader result. `more` is set when the count is short
  // because the source failed (the failure comes next).
  int64_t Read(uint8_t* buffer, size_t length, Event* abort, bool* more);
  int64_t ReadFromCache(uint8_t* buffer, size_t length, Event* abort, bool* more);
  // From the connection itself (bytes left in the ring first), under the connection lock.
  int64_t ReadDirect(uint8_t* buffer, size_t length, Event* abort, bool* more);
  // Reads `count` bytes in order and drops them (keeping them in the history).
  int32_t Skip(int64_t count, Event* abort);

  // Creates the cache file (in the cache folder) and starts the thread that fills it; false
  // when the file cannot be created.
  bool StartCaching();
  void StartDownload(Event* abort);
  void StopDownload();
  void DownloadLoop();
  void CacheLoop();
  // Lets a thread rest `ms`; true when it must end.
  bool Rest(uint32_t ms);

  ConnectionFactory factory_;
  CriticalSection configLock_;  // the three below; taken last
  std::shared_ptr<ProxySource> proxy_;
  NetworkTimeouts timeouts_;
  std::string cacheFolder_;

  // Lock order: lock_, status lock, connection lock, ring lock, property lock.
  CriticalSection lock_;            // open state, state changes
  CriticalSection connectionLock_;  // the connection and its replacement
  CriticalSection ringLock_;        // the download thread's writes against flushes
  RefPtr<MNetwork> connection_;
  std::unique_ptr<AudiocastUdpChannel> audiocast_;
  std::string url_;  // UTF-8
  std::atomic<bool> open_{false};
  // Open's own cancel: a Close or Stop can end it before any chain knows the reader.
  Event openCancel_{EventReset::kManual};
  std::atomic<bool> opening_{false};
  std::atomic<uint32_t> capabilities_{0};
  std::atomic<bool> seekable_{false};

  // Under the status lock: the next byte a packet gets (-1 after a failed move), where the
  // current connection started, the history and the bytes of it still to replay.
  std::atomic<int64_t> position_{0};
  int64_t size_ = -1;
  int64_t baseOffset_ = 0;
  int64_t connectionLength_ = -1;  // what the current connection announced
  StreamHistory history_{kStreamHistoryBytes};
  int64_t replay_ = 0;           // 0, or minus the history bytes still to deliver again
  int64_t detectionStart_ = -1;  // under lock_: the position when format detection began

  BlockingRingBuffer ring_;
  Thread thread_;
  Event stop_{EventReset::kManual};
  Event interrupt_{EventReset::kManual};  // ends the download thread's wait on the connection
  Event wake_;                            // a reposition for a resting download thread
  std::atomic<uint64_t> generation_{0};   // changes with every new connection
  std::atomic<int32_t> downloadError_{0};
  std::atomic<bool> inPrebuffer_{false};
  std::atomic<bool> ringInUse_{false};
  std::atomic<bool> downloadFinished_{false};
  std::atomic<int32_t> opened_{0};

  bool caching_ = false;
  StreamCacheFile cache_;

  CriticalSection propertyLock_;
  TString urlText_;
  HeaderList responseHeaders_;
  int32_t bufferSize_ = kDefaultStreamBufferSize;
  double prebuffer_ = kDefaultPrebuffer;
  bool diskBuffer_ = true;
};

// The scheme test: "http://", "ftp://" or "raw://" in any case.
bool IsStreamUrl(const char16_t* url);

}  // namespace vk2
