#include "audio/readers/url/url_reader.h"

#include <algorithm>
#include <vector>

#include "audio/common/module_identity.h"
#include "audio/readers/common/reader_results.h"
#include "audio/readers/common/sound_io_errors.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "platform/clock.h"
#include "platform/sleep.h"
#include "platform/user_folders.h"

namespace vk2 {
namespace {

constexpr int32_t kHttpCost = 768;
constexpr int32_t kFtpCost = 1024;
constexpr double kWarmupSeconds = 10.0;
constexpr size_t kDownloadChunk = 4096;
constexpr uint32_t kRestMs = 50;

bool HasScheme(const char16_t* url, const char16_t* scheme) {
  size_t n = 0;
  while (scheme[n])
    ++n;
  return url && WideCompare(url, scheme, false, static_cast<int32_t>(n)) == 0;
}

// What a failed read of the stream tells the user.
int32_t ReadFailure(int64_t result) {
  if (result == kNetCancelled) return MediaError(kMsWrongState);  // the chain is stopping
  return SoundIoError(kSoundIoDisconnected);
}

}  // namespace

bool IsStreamUrl(const char16_t* url) {
  return HasScheme(url, u"http://") || HasScheme(url, u"ftp://") || HasScheme(url, u"raw://");
}

UrlReader::UrlReader() : UrlReader(&MakeNetConnection) {}

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

void UrlReader::SetTimeouts(const NetTimeouts& timeouts) {
  ScopedLock lock(configLock_);
  timeouts_ = timeouts;
}

void UrlReader::SetCacheFolder(const std::string& folder) {
  ScopedLock lock(configLock_);
  cacheFolder_ = folder;
}

void UrlReader::AddProperties() {
  table_.AddIdentity(u"URLReader", u"Internet Stream Reader", 1.0);
  table_.AddWarmupTime(kWarmupSeconds);
  table_.AddInteger(u"inprebuffer", kPropInteger,
                    u"whether the stream reader is buffering in anticipation of playback or not",
                    [this](int32_t* v) {
                      *v = inPrebuffer_.load() ? 1 : 0;
                      return kOk;
                    });
  table_.AddString(u"url", kPropDeviceName, u"the source of the data which is to be decoded",
                   [this](TString* v) {
                     ScopedLock lock(propertyLock_);
                     if (!open_ || !CanOpenAtOffset()) return kReaderNotOpen;
                     *v = urlText_;
                     return kOk;
                   });
  constexpr uint32_t kStreamInfo = kPropPlaybackOnly | kPropInfo | kPropString;  // 145
  table_.AddString(
      u"streamtitle", kStreamInfo,
      u"the description of this stream - available only during playback",
      [this](TString* v) { return HeaderProperty("icy-title", "x-audiocast-name", v); });
  table_.AddString(
      u"genre", kStreamInfo,
      u"the genre of the audio stream that is currently being received - available only during "
      u"playback",
      [this](TString* v) { return HeaderProperty("icy-genre", "x-audiocast-genre", v); });
  table_.AddString(u"streamurl", kStreamInfo,
                   u"the web page URL related to this stream - available only during playback",
                   [this](TString* v) { return HeaderProperty("icy-url", "x-audiocast-url", v); });
  for (PropertyTable* t : {&table_, &settings_}) {
    t->AddInteger(
        u"buffersize", kPropStoredInteger, u"the size of the read buffer",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = bufferSize_;
          return kOk;
        },
        [this](int32_t v) {
          if (v != 0 && v < kMinStreamBufferSize) return kReaderOutOfRange;
          ScopedLock lock(propertyLock_);
          bufferSize_ = v;
          return kOk;
        });
    t->AddNumber(
        u"prebuffer", kPropStoredNumber,
        u"the proportion of the read buffer that must be filled before any data will be passed "
        u"along",
        [this](double* v) {
          ScopedLock lock(propertyLock_);
          *v = prebuffer_;
          return kOk;
        },
        [this](double v) {
          if (!(v >= 0.0 && v <= 1.0)) return kReaderOutOfRange;
          ScopedLock lock(propertyLock_);
          prebuffer_ = v;
          return kOk;
        });
    if (t == &table_) {
      t->AddNumber(u"bufferlevel", kPropNumber,
                   u"the proportion of the read buffer that is currently filled",
                   [this](double* v) {
                     if (!open_ || !CanOpenAtOffset()) return kReaderNotOpen;
                     const size_t capacity = ring_.Capacity();
                     *v = capacity ? static_cast<double>(ring_.Available()) / capacity : 0.0;
                     return kOk;
                   });
    }
    t->AddInteger(
        u"diskbuffer", kPropStoredInteger,
        u"whether to stream incoming data to disk as a cache for seeking",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = diskBuffer_ ? 1 : 0;
          return kOk;
        },
        [this](int32_t v) {
          ScopedLock lock(propertyLock_);
          diskBuffer_ = v != 0;
          return kOk;
        },
        SettingStorage::kBool);
  }
  AddStreamIdProperty();
  // Identity, warm-up and the prebuffer state always; the rest only while the connection can
  // be opened at an offset.
  table_.SetDescribeFilter([this](const TString& name) {
    for (const char16_t* always : {u"modulename", u"moduledescription", u"modulecopyright",
                                   u"moduleversion", u"warmuptime", u"inprebuffer"}) {
      if (name.Equals(always)) return true;
    }
    return open_.load() && CanOpenAtOffset();
  });
}

int32_t UrlReader::HeaderProperty(const char* icy, const char* audiocast, TString* value) {
  ScopedLock lock(propertyLock_);
  if (!open_ || !CanOpenAtOffset()) return kReaderNotOpen;
  const std::string* found = responseHeaders_.Find(icy);
  HeaderList datagrams;
  if (!found && audiocast_) {
    audiocast_->Poll(open_);
    datagrams = audiocast_->Headers();
    // Datagrams are newer than the response the stream began with.
    found = datagrams.Find(audiocast);
    if (!found) found = responseHeaders_.Find(audiocast);
  }
  if (!found) return kReaderNotOpen;
  *value = Utf16(*found);
  return kOk;
}

std::unique_ptr<NetConnection> UrlReader::NewConnection(bool withSink) {
  std::unique_ptr<NetConnection> connection = factory_ ? factory_() : nullptr;
  if (!connection) return nullptr;
  ScopedLock lock(configLock_);
  connection->SetTimeouts(timeouts_);
  if (proxy_) connection->SetProxy(proxy_->Proxy());
  if (withSink && audiocast_) connection->SetNotifySink(audiocast_.get());
  return connection;
}

uint64_t UrlReader::OpenDeadline() {
  ScopedLock lock(configLock_);
  return DeadlineAfter(CurrentClock(), timeouts_.openMs);
}

int32_t UrlReader::OpenConnection(NetConnection& connection, int64_t start, int64_t end,
                                  Event* cancel, uint64_t deadline) {
  NetTimeouts timeouts;
  {
    ScopedLock lock(configLock_);
    timeouts = timeouts_;
  }
  // What is left of the caller's time, so that the probe and the request share one limit.
  timeouts.openMs = MsUntil(CurrentClock(), deadline);
  if (timeouts.openMs == 0) return kReaderCannotOpen;
  connection.SetTimeouts(timeouts);
  opened_.fetch_add(1, std::memory_order_relaxed);
  const int32_t r = connection.Open(url_, start, end, cancel);
  if (r == kNetOk) return kOk;
  if (r == kNetCancelled) return MediaError(kMsWrongState);
  return kReaderCannotOpen;
}

void UrlReader::TakeResponse(NetConnection& connection) {
  ScopedLock lock(propertyLock_);
  responseHeaders_ = connection.ResponseHeaders();
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
  std::unique_ptr<NetConnection> connection = NewConnection(true);
  if (!connection) return fail(kErrOutOfMemory);
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
  if (diskBuffer && size >= 0) {
    std::string folder;
    {
      ScopedLock config(configLock_);
      folder = cacheFolder_;
    }
    if (folder.empty()) folder = UserFolderPath(UserFolder::kCache);
    if (!cache_.Create(folder)) {
      ScopedLock c(connectionLock_);
      connection_.reset();
      return fail(kReaderFileFailed);
    }
    caching_ = true;
    StartDownload(nullptr);
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
    connection_.reset();
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
      n = connection_ ? connection_->Read(chunk.data(), chunk.size(), &interrupt_)
                      : int64_t{kNetNotOpen};
    }
    if (n == kNetCancelled) {
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
        if (n < 0 && n != kNetNotOpen) downloadError_.store(ReadFailure(n));
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
      n = connection_ ? connection_->Read(chunk.data(), chunk.size(), &stop_)
                      : int64_t{kNetNotOpen};
    }
    if (n == kNetCancelled) {
      // Nothing more will come: a reader waiting on the cache takes what is there.
      downloadFinished_.store(true);
      return;
    }
    if (n > 0 && cache_.Append(chunk.data(), static_cast<size_t>(n))) continue;
    if (n > 0) {
      downloadError_.store(kReaderFileFailed);
    } else if (n < 0 && n != kNetNotOpen) {
      downloadError_.store(ReadFailure(n));
    }
    cache_.FinishWriting();
    downloadFinished_.store(true);
    return;
  }
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
  std::unique_ptr<NetConnection> connection = NewConnection(false);
  if (!connection) return kErrOutOfMemory;
  MMediaChain* chain = Chain();
  Event* cancel = chain ? chain->AbortEvent() : nullptr;
  if (connection->Open(url_, offset, offset + length - 1, cancel) != kNetOk) {
    return kReaderFileFailed;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < length) {
    const int64_t n = connection->Read(out + done, length - done, cancel);
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
  std::unique_ptr<NetConnection> connection = NewConnection(true);
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
    connection_.swap(connection);
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
    const int64_t n = connection_ ? connection_->Read(buffer + got, length - got, abort) : 0;
    if (n == 0 || n == kNetNotOpen) break;
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
