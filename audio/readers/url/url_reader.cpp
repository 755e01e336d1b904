// The URL reader's control: opening (the probe, the time limit and the cancel), closing,
// state changes and moving the read position, with reconnects where the stream allows them.
#include "audio/readers/url/url_reader.h"

#include <algorithm>
#include <vector>

#include "audio/common/audio_runtime.h"
#include "audio/readers/common/reader_results.h"
#include "audio/readers/common/sound_io_errors.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "platform/clock.h"

namespace vk2 {
namespace {

constexpr int32_t kHttpCost = 768;
constexpr int32_t kFtpCost = 1024;

bool HasScheme(const char16_t* url, const char16_t* scheme) {
  size_t n = 0;
  while (scheme[n])
    ++n;
  return url && WideCompare(url, scheme, false, static_cast<int32_t>(n)) == 0;
}

}  // namespace

bool IsStreamUrl(const char16_t* url) {
  return HasScheme(url, u"http://") || HasScheme(url, u"ftp://") || HasScheme(url, u"raw://");
}

UrlReader::UrlReader()
    : UrlReader([] { return AudioCreate<MNetwork>(kNetworkClass, kIID_MNetwork); }) {}

UrlReader::UrlReader(ConnectionFactory factory)
    : StreamReaderBase(kIID_MUrlReader), factory_(std::move(factory)) {
  RegisterSoundIoTable(errors_.Registry());
  AddProperties();
}

UrlReader::~UrlReader() {
  StateChange(kChainStopped);
  if (open_) Close();
}

void UrlReader::SetProxySource(std::shared_ptr<ProxySource> source) {
  ScopedLock lock(configLock_);
  proxy_ = std::move(source);
}

void UrlReader::SetTimeouts(const NetworkTimeouts& timeouts) {
  ScopedLock lock(configLock_);
  timeouts_ = timeouts;
}

void UrlReader::SetCacheFolder(const std::string& folder) {
  ScopedLock lock(configLock_);
  cacheFolder_ = folder;
}

RefPtr<MNetwork> UrlReader::NewConnection(bool withSink) {
  RefPtr<MNetwork> connection = factory_ ? factory_() : nullptr;
  if (!connection) return nullptr;
  ScopedLock lock(configLock_);
  connection->SetTimeouts(timeouts_);
  if (proxy_) proxy_->ApplyTo(*connection);
  if (withSink && audiocast_) connection->SetNotifySink(audiocast_.get());
  return connection;
}

uint64_t UrlReader::OpenDeadline() {
  ScopedLock lock(configLock_);
  return DeadlineAfter(CurrentClock(), timeouts_.openMs);
}

int32_t UrlReader::OpenConnection(MNetwork& connection, int64_t start, int64_t end, Event* cancel,
                                  uint64_t deadline) {
  NetworkTimeouts timeouts;
  {
    ScopedLock lock(configLock_);
    timeouts = timeouts_;
  }
  // What is left of the caller's time, so that the probe and the request share one limit.
  timeouts.openMs = MsUntil(CurrentClock(), deadline);
  if (timeouts.openMs == 0) return kReaderCannotOpen;
  connection.SetTimeouts(timeouts);
  opened_.fetch_add(1, std::memory_order_relaxed);
  const int32_t r = connection.Open(url_.c_str(), kNetworkOpenRead, start, end, cancel);
  if (r == kNetworkOk) return kOk;
  if (r == kNetworkCancelled) return MediaError(kMsWrongState);
  return kReaderCannotOpen;
}

int32_t UrlReader::CanRead(const char16_t* url, uint32_t* score1, uint32_t* score2) {
  const bool mine = IsStreamUrl(url);
  if (score1) *score1 = mine ? 100 : 0;
  if (score2) *score2 = mine ? 100 : 0;
  return kOk;
}

int32_t UrlReader::GetAccessCost(const char16_t* url) {
  if (HasScheme(url, u"http://") || HasScheme(url, u"raw://")) return kHttpCost;
  if (HasScheme(url, u"ftp://")) return kFtpCost;
  return 0;
}

bool UrlReader::CancelOpen() {
  if (!opening_.load()) return false;
  openCancel_.Set();
  return true;
}

int32_t UrlReader::Open(const char16_t* url) {
  ScopedLock lock(lock_);
  if (open_) return kReaderAlreadyOpen;
  if (!IsStreamUrl(url)) return kReaderWrongScheme;
  // Reset before the flag: a cancel that sees the flag is never lost.
  openCancel_.Reset();
  opening_.store(true);
  struct OpeningFlag {
    std::atomic<bool>& flag;
    ~OpeningFlag() { flag.store(false); }
  } opening{opening_};
  const uint64_t deadline = OpenDeadline();
  // The URL goes on the wire as given: no unescaping.
  url_ = Utf8(TString(url)).c_str();
  {
    ScopedLock props(propertyLock_);
    audiocast_ = std::make_unique<AudiocastUdpChannel>();
  }
  auto fail = [this](int32_t code) {
    ScopedLock props(propertyLock_);
    audiocast_.reset();
    return code;
  };
  RefPtr<MNetwork> connection = NewConnection(true);
  if (!connection) return fail(kErrNoService);
  // One byte first: a server that answers with exactly that byte can start anywhere.
  int32_t r = OpenConnection(*connection, 0, 0, &openCancel_, deadline);
  if (r < 0) return fail(r);
  const bool seekable = connection->ContentLength() == 1;
  if (seekable) {
    connection->Close();
    r = OpenConnection(*connection, 0, -1, &openCancel_, deadline);
    if (r < 0) return fail(r);
  }
  const int64_t size = connection->ContentLength();
  {
    ScopedLock status(statusLock_);
    ScopedLock c(connectionLock_);
    connection_ = std::move(connection);
    capabilities_.store(connection_->Capabilities());
    seekable_.store(seekable);
    size_ = size;
    baseOffset_ = 0;
    connectionLength_ = size;
    position_.store(0);
    history_.Clear();
    replay_ = 0;
    ScopedLock ringLock(ringLock_);
    generation_.fetch_add(1);
    ring_.Flush();
    ring_.Close(false);
    downloadError_.store(0);
    downloadFinished_.store(false);
  }
  TakeResponse(*connection_);
  bool diskBuffer;
  {
    ScopedLock props(propertyLock_);
    diskBuffer = diskBuffer_;
    urlText_ = TString(url);
  }
  caching_ = false;
  if (diskBuffer && size >= 0 && !StartCaching()) {
    ScopedLock c(connectionLock_);
    connection_.Reset();
    return fail(kReaderFileFailed);
  }
  open_ = true;
  ResetStatus();
  return kOk;
}

int32_t UrlReader::Close() {
  // Before the lock, which the Open holds.
  const bool cancelled = CancelOpen();
  ScopedLock lock(lock_);
  if (!open_) return cancelled ? kOk : kReaderNotOpen;
  StopDownload();
  ringInUse_.store(false);
  cache_.Remove();
  caching_ = false;
  {
    ScopedLock c(connectionLock_);
    if (connection_) connection_->Close();
    connection_.Reset();
  }
  {
    ScopedLock props(propertyLock_);
    audiocast_.reset();
    responseHeaders_.Clear();
    urlText_ = TString();
  }
  open_ = false;
  position_.store(0);
  capabilities_.store(0);
  seekable_.store(false);
  return kOk;
}

int32_t UrlReader::StateChange(int32_t state) {
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  // Stopping ends an Open under way (it holds the lock).
  if (state == kChainStopped) CancelOpen();
  ScopedLock lock(lock_);
  const int32_t old = State();
  if (old == kChainStopped && state != kChainStopped && state != kChainFormatDetection) {
    int32_t bufferSize;
    {
      ScopedLock props(propertyLock_);
      bufferSize = bufferSize_;
    }
    // With no buffer the packets come straight from the connection.
    if (open_ && !caching_ && bufferSize > 0) {
      MMediaChain* chain = Chain();
      StartDownload(chain ? chain->AbortEvent() : nullptr);
    }
  } else if (state == kChainFormatDetection || (old != kChainStopped && state == kChainStopped)) {
    if (!caching_) {
      StopDownload();
      ringInUse_.store(false);
    }
  }
  if (state == kChainFormatDetection && old != kChainFormatDetection) {
    detectionStart_ = position_.load();
  } else if (old == kChainFormatDetection && state != kChainFormatDetection && open_ &&
             !IsSeekable() && detectionStart_ >= 0) {
    // What the chain's probes read of a stream that cannot seek is delivered again (from the
    // history), so the decoders' real start sees the headers they probed; a seekable stream
    // is moved by the decoders themselves.
    SetPosition(detectionStart_);
  }
  SetStateValue(state);
  return kOk;
}

int32_t UrlReader::Seek(double, uint32_t, uint32_t) {
  ClearEndReached();
  return kOk;
}

int32_t UrlReader::GetSize(int64_t* total, int64_t* available) {
  ScopedLock status(statusLock_);
  if (!open_) return kReaderNotOpen;
  if (size_ < 0) return SoundIoError(kSoundIoUnknownSize);
  if (caching_) {
    if (total) *total = size_;
    if (available) *available = cache_.Length();
    return kOk;
  }
  if (!CanOpenAtOffset()) return kErrFailed;
  if (total) *total = size_;
  if (available) *available = size_;
  return kOk;
}

int32_t UrlReader::ReadAt(int64_t offset, void* buffer, uint32_t length, uint32_t* count) {
  if (count) *count = 0;
  if (!open_) return kReaderNotOpen;
  if (!CanOpenAtOffset()) return kErrFailed;
  if (offset < 0) return kReaderOutOfRange;
  if (length == 0) return kOk;
  if (!buffer) return kErrMissingArg;
  // A connection of its own: the sequential stream and its side channel stay as they are.
  RefPtr<MNetwork> connection = NewConnection(false);
  if (!connection) return kErrNoService;
  MMediaChain* chain = Chain();
  Event* cancel = chain ? chain->AbortEvent() : nullptr;
  if (connection->Open(url_.c_str(), kNetworkOpenRead, offset, offset + length - 1, cancel) !=
      kNetworkOk) {
    return kReaderFileFailed;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < length) {
    const int64_t n = connection->Read(out + done, length - done, kNetworkReadWait, cancel);
    if (n == 0) break;
    if (n < 0) {
      if (done > 0) break;
      return ReadFailure(n);
    }
    done += static_cast<uint32_t>(n);
  }
  if (count) *count = done;
  return kOk;
}

int32_t UrlReader::GetPosition(int64_t* position) {
  if (!position) return kErrMissingArg;
  *position = position_.load();
  return kOk;
}

int32_t UrlReader::SetPosition(int64_t offset) {
  ScopedLock status(statusLock_);
  if (!open_) return kReaderNotOpen;
  if (offset < 0) return kReaderOutOfRange;
  const int64_t position = position_.load();
  if (offset == position) {
    MarkRepositioned();
    return kOk;
  }
  if (connectionLength_ >= 0 && offset > baseOffset_ + connectionLength_) return kReaderOutOfRange;
  if (!IsSeekable() && offset != 0) return MediaError(kMsCannotSeek);
  if (caching_) {
    if (offset > cache_.Length()) return kReaderOutOfRange;
    position_.store(offset);
    MarkRepositioned();
    return kOk;
  }
  MMediaChain* chain = Chain();
  Event* abort = chain ? chain->AbortEvent() : nullptr;
  if (position >= 0 && offset < position) {
    // Back within the history: delivered again from there.
    const int64_t distance = position - offset;
    if (distance <= static_cast<int64_t>(history_.Size()) + replay_) {
      replay_ -= distance;
      position_.store(offset);
      MarkRepositioned();
      return kOk;
    }
  } else if (position >= 0) {
    // Forward to bytes that are queued or about to come: read on and drop.
    const int64_t reached = position - replay_ + static_cast<int64_t>(ring_.Available());
    if (offset <= reached + kForwardSkipBytes) {
      const int32_t r = Skip(offset - position, abort);
      if (r < 0) {
        position_.store(-1);
        return r;
      }
      MarkRepositioned();
      return kOk;
    }
  }
  // A new connection from the offset.
  if (size_ < 0) return MediaError(kMsCannotSeek);
  RefPtr<MNetwork> connection = NewConnection(true);
  if (!connection || OpenConnection(*connection, offset, -1, abort, OpenDeadline()) < 0) {
    position_.store(-1);
    return MediaError(kMsCannotSeek);
  }
  // A download thread waiting on a silent server lets go of the connection at once.
  interrupt_.Set();
  {
    ScopedLock c(connectionLock_);
    interrupt_.Reset();
    // The first flush frees a download thread blocked on a full ring; under the ring lock
    // the generation makes it drop a chunk it read from the old connection.
    ring_.Flush();
    ScopedLock ringLock(ringLock_);
    generation_.fetch_add(1);
    ring_.Flush();
    if (ringInUse_.load()) ring_.Close(false);
    downloadError_.store(0);
    downloadFinished_.store(false);
    connection_.Swap(connection);
    baseOffset_ = offset;
    connectionLength_ = connection_->ContentLength();
  }
  wake_.Set();
  connection->Close();
  TakeResponse(*connection_);
  history_.Clear();
  replay_ = 0;
  position_.store(offset);
  MarkRepositioned();
  return kOk;
}

int32_t UrlReader::Skip(int64_t count, Event* abort) {
  std::vector<uint8_t> scratch(kDownloadChunk);
  while (count > 0) {
    bool more = false;
    const size_t want = static_cast<size_t>(std::min<int64_t>(count, kDownloadChunk));
    const int64_t n = Read(scratch.data(), want, abort, &more);
    if (n < 0) return static_cast<int32_t>(n);
    if (n == 0) return kReaderOutOfRange;  // the stream ended first
    position_.fetch_add(n);
    count -= n;
  }
  return kOk;
}

}  // namespace vk2
