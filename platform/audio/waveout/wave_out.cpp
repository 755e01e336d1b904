#include "platform/audio/waveout/wave_out.h"

#include <algorithm>
#include <cstring>

namespace vk2 {

namespace {

// The device thread looks at the sink a few times per its latency: often enough to keep it fed
// and to hand headers back soon after they are heard, never in a busy loop.
constexpr uint32_t kPassesPerSinkLength = 4;
constexpr uint32_t kMinThreadPeriodMillis = 2;

PcmSinkFactory FactoryOrDefault(const PcmSinkFactory& factory) {
  return factory ? factory : DefaultPcmSinkFactory();
}

// The sink device behind a waveOut device number.
bool ResolveDevice(uint32_t deviceId, const PcmSinkFactory& factory, SinkDevice& device) {
  std::unique_ptr<PcmSink> sink = FactoryOrDefault(factory)();
  std::vector<SinkDevice> devices;
  if (!sink || !sink->Enumerate(devices) || devices.empty()) return false;
  if (deviceId == kWaveMapper) deviceId = 0;
  if (deviceId >= devices.size()) return false;
  device = devices[deviceId];
  return true;
}

}  // namespace

bool WaveOut::Enumerate(std::vector<SinkDevice>& devices, const PcmSinkFactory& factory) {
  devices.clear();
  std::unique_ptr<PcmSink> sink = FactoryOrDefault(factory)();
  return sink && sink->Enumerate(devices);
}

uint32_t WaveOut::GetNumDevs(const PcmSinkFactory& factory) {
  std::unique_ptr<PcmSink> sink = FactoryOrDefault(factory)();
  std::vector<SinkDevice> devices;
  if (!sink || !sink->Enumerate(devices)) return 0;
  return static_cast<uint32_t>(devices.size());
}

int32_t WaveOut::GetDevCaps(uint32_t deviceId, WaveOutCaps* caps, const PcmSinkFactory& factory) {
  if (!caps) return kMmErrInvalParam;
  SinkDevice device;
  if (!ResolveDevice(deviceId, factory, device)) return kMmErrBadDeviceId;
  caps->productName = device.description;
  caps->deviceId = device.id;
  return kMmOk;
}

int32_t WaveOut::Open(std::unique_ptr<WaveOut>& out, uint32_t deviceId, const WaveFormat& format,
                      DoneCallback onDone, uint32_t flags, WaveOutOptions options) {
  out.reset();
  PcmFormat pcm;
  if (!WaveFormatToPcm(format, pcm)) return kWaveErrBadFormat;
  options.sinkFactory = FactoryOrDefault(options.sinkFactory);
  SinkDevice device;
  if (!ResolveDevice(deviceId, options.sinkFactory, device)) return kMmErrBadDeviceId;
  std::unique_ptr<PcmSink> sink = options.sinkFactory();
  if (!sink) return kMmErrNoDriver;
  const uint32_t sinkMillis = options.sinkMillis ? options.sinkMillis : kFullSinkMillis;
  if (!sink->Open(device.id, pcm, sinkMillis)) {
    return sink->RefusedFormat() ? kWaveErrBadFormat : kMmErrNoDriver;
  }
  if (flags & kWaveFormatQuery) {
    sink->Close();
    return kMmOk;
  }
  out.reset(new WaveOut(std::move(sink), pcm, std::move(onDone), options, sinkMillis));
  return kMmOk;
}

WaveOut::WaveOut(std::unique_ptr<PcmSink> sink, const PcmFormat& pcm, DoneCallback onDone,
                 const WaveOutOptions& options, uint32_t sinkMillis)
    : options_(options),
      sink_(std::move(sink)),
      sinkMillis_(sinkMillis),
      pcm_(pcm),
      onDone_(std::move(onDone)) {
  if (options_.startThread && thread_.Start([this] {
        SetCurrentThreadName("vk2 waveout");
        ThreadLoop();
      })) {
    if (options_.threadPriority != ThreadPriority::kNormal) {
      thread_.SetPriority(options_.threadPriority);
    }
  }
}

WaveOut::~WaveOut() {
  Reset();
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    stop_ = true;
    wake_.notify_all();
  }
  if (thread_.IsStarted()) thread_.Join();
  sink_->Close();
}

int32_t WaveOut::PrepareHeader(WaveHeader* header) {
  if (!header || !header->data || header->bufferLength == 0) return kMmErrInvalParam;
  std::lock_guard lock(mutex_);
  if (header->flags & kWhdrInQueue) return kWaveErrStillPlaying;
  header->flags |= kWhdrPrepared;
  return kMmOk;
}

int32_t WaveOut::UnprepareHeader(WaveHeader* header) {
  if (!header) return kMmErrInvalParam;
  std::lock_guard lock(mutex_);
  if (header->flags & kWhdrInQueue) return kWaveErrStillPlaying;
  header->flags &= ~kWhdrPrepared;
  return kMmOk;
}

int32_t WaveOut::Write(WaveHeader* header) {
  if (!header || !header->data || header->bufferLength == 0) return kMmErrInvalParam;
  std::lock_guard lock(mutex_);
  if (closed_) return kMmErrError;
  if (failed_) return kMmErrNoDriver;
  if (failed_) return kMmErrNoDriver;
  if (!(header->flags & kWhdrPrepared)) return kWaveErrUnprepared;
  if (header->flags & kWhdrInQueue) return kWaveErrStillPlaying;
  header->flags = (header->flags & ~kWhdrDone) | kWhdrInQueue;
  queue_.push_back({header});
  wake_.notify_all();
  return kMmOk;
}

int32_t WaveOut::Pause() {
  std::lock_guard lock(mutex_);
  if (closed_) return kMmErrError;
  if (!sink_->Pause(true)) return kMmErrError;
  paused_ = true;
  return kMmOk;
}

int32_t WaveOut::Restart() {
  std::lock_guard lock(mutex_);
  if (closed_) return kMmErrError;
  if (failed_) return kMmErrNoDriver;
  // What is queued goes to the sink before it runs again: a sound server whose stream starts
  // dry catches up by skipping the start of what comes next.
  if (paused_) FeedLocked();
  if (!sink_->Pause(false)) return kMmErrError;
  paused_ = false;
  wake_.notify_all();
  return kMmOk;
}

int32_t WaveOut::Reset() {
  bool any = false;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return kMmErrError;
    sink_->Flush();
    any = ReturnAllLocked() != 0;
    handedTotal_ = 0;
    sinkBaseBytes_ = sink_->FramesPlayed() * pcm_.BlockAlign();
  }
  if (any && onDone_) onDone_();
  return kMmOk;
}

uint64_t WaveOut::PlayedBytesLocked() {
  const uint64_t played = sink_->FramesPlayed() * pcm_.BlockAlign();
  const uint64_t since = played > sinkBaseBytes_ ? played - sinkBaseBytes_ : 0;
  return std::min(since, handedTotal_);
}

int32_t WaveOut::GetPosition(uint64_t* bytes) {
  if (!bytes) return kMmErrInvalParam;
  std::lock_guard lock(mutex_);
  if (closed_) return kMmErrError;
  *bytes = PlayedBytesLocked();
  return kMmOk;
}

int32_t WaveOut::SetVolume(uint32_t levels) {
  std::lock_guard lock(mutex_);
  volume_ = levels;
  gains_.left = static_cast<float>(levels & 0xFFFF) / 65535.0f;
  gains_.right = static_cast<float>(levels >> 16) / 65535.0f;
  gains_.others = std::max(gains_.left, gains_.right);
  return kMmOk;
}

int32_t WaveOut::GetVolume(uint32_t* levels) {
  if (!levels) return kMmErrInvalParam;
  std::lock_guard lock(mutex_);
  *levels = volume_;
  return kMmOk;
}

int32_t WaveOut::Close() {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return kMmErrError;
    if (!queue_.empty()) return kWaveErrStillPlaying;
    closed_ = true;
    stop_ = true;
    wake_.notify_all();
  }
  // A done callback that closes the device runs on the device thread: that thread ends by
  // itself once it returns, and no thread joins itself.
  if (thread_.IsStarted() && !thread_.IsCurrent()) thread_.Join();
  sink_->Close();
  return kMmOk;
}

size_t WaveOut::ReturnAllLocked() {
  for (Queued& q : queue_)
    q.header->flags = (q.header->flags & ~kWhdrInQueue) | kWhdrDone;
  const size_t n = queue_.size();
  queue_.clear();
  nextToHand_ = 0;
  staging_.clear();
  return n;
}

size_t WaveOut::CompleteLocked() {
  const size_t align = pcm_.BlockAlign();
  const uint64_t played = PlayedBytesLocked();
  size_t done = 0;
  // A header ends inside a frame that the next one completes; the partial frame's bytes count
  // as heard with that header's last whole frame.
  while (nextToHand_ > 0 && played >= queue_.front().endPos / align * align) {
    WaveHeader* h = queue_.front().header;
    h->flags = (h->flags & ~kWhdrInQueue) | kWhdrDone;
    queue_.pop_front();
    --nextToHand_;
    ++done;
  }
  return done;
}

void WaveOut::FeedLocked() {
  const size_t align = pcm_.BlockAlign();
  const size_t room = sink_->WritableBytes() / align * align;
  if (room == 0) return;
  while (staging_.size() < room + align && nextToHand_ < queue_.size()) {
    Queued& q = queue_[nextToHand_];
    const size_t take =
        std::min<size_t>(room + align - staging_.size(), q.header->bufferLength - q.handed);
    staging_.insert(staging_.end(), q.header->data + q.handed, q.header->data + q.handed + take);
    q.handed += static_cast<uint32_t>(take);
    handedTotal_ += take;
    if (q.handed == q.header->bufferLength) {
      q.endPos = handedTotal_;
      ++nextToHand_;
    }
  }
  const size_t whole = std::min(room, staging_.size() / align * align);
  if (whole == 0) return;
  scaled_.resize(whole);
  ApplyPcmGain(pcm_, gains_, staging_.data(), scaled_.data(), whole);
  const int64_t n = sink_->Write(scaled_.data(), whole);
  if (n > 0) staging_.erase(staging_.begin(), staging_.begin() + n);
}

void WaveOut::Pump() {
  size_t done = 0;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    if (!failed_ && sink_->HasFailed()) failed_ = true;
    if (failed_) {
      done = ReturnAllLocked();
    } else {
      done = CompleteLocked();
      if (!paused_) FeedLocked();
      done += CompleteLocked();
    }
  }
  if (done && onDone_) onDone_();
}

bool WaveOut::SetThreadPriority(ThreadPriority priority) {
  return thread_.IsStarted() && thread_.SetPriority(priority);
}

void WaveOut::ThreadLoop() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    // Writes and restarts wake the thread at once.
    wake_.wait_for(lock, std::chrono::milliseconds(
                             std::max(kMinThreadPeriodMillis, sinkMillis_ / kPassesPerSinkLength)));
    if (stop_) break;
    lock.unlock();
    Pump();
    lock.lock();
  }
}

}  // namespace vk2
