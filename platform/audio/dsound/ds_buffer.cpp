#include "platform/audio/dsound/ds_buffer.h"

#include <algorithm>
#include <cstring>

namespace vk2 {

namespace {
constexpr size_t kPumpChunkBytes = 64 * 1024;
// The sink holds a part of what the buffer has: enough to ride out a late drain pass on a busy
// machine, and enough that the drain and the sound server's requests come a few times a second
// rather than every few milliseconds (each costs the process a wake-up). Stop, pause and seeks
// act on the sink at once; volume changes are heard after what it holds, at most this long. The
// first sound is not held back by it: the sink starts playing on its first frame.
constexpr uint32_t kMinSinkMillis = 20;
constexpr uint32_t kMaxSinkMillis = 250;
}  // namespace

int32_t DsBuffer::Create(const DsBufferDesc& desc, std::unique_ptr<PcmSink> sink,
                         const DsBufferOptions& options, std::unique_ptr<DsBuffer>& out) {
  out.reset();
  if (!sink) return kDsErrInvalidParam;
  PcmFormat pcm;
  if (!WaveFormatToPcm(desc.format, pcm)) return kDsErrBadFormat;
  if (desc.bufferBytes < kDsBufferMinBytes || desc.bufferBytes > kDsBufferMaxBytes ||
      desc.bufferBytes < pcm.BlockAlign()) {
    return kDsErrInvalidParam;
  }
  std::unique_ptr<DsBuffer> buffer(new DsBuffer(desc, std::move(sink), options));
  {
    std::lock_guard lock(buffer->mutex_);
    const int32_t r = buffer->OpenSinkLocked();
    if (r < 0) return r;
  }
  if (options.startThread) {
    DsBuffer* b = buffer.get();
    if (!b->drainThread_.Start([b] {
          SetCurrentThreadName("vk2 ds drain");
          b->DrainLoop();
        })) {
      return kDsErrOutOfMemory;
    }
    if (options.threadPriority != ThreadPriority::kNormal) {
      b->drainThread_.SetPriority(options.threadPriority);
    }
  }
  out = std::move(buffer);
  return kDsOk;
}

DsBuffer::DsBuffer(const DsBufferDesc& desc, std::unique_ptr<PcmSink> sink,
                   const DsBufferOptions& options)
    : options_(options), sink_(std::move(sink)), format_(desc.format), flags_(desc.flags) {
  WaveFormatToPcm(format_, pcm_);
  // Whole frames only, so the drain always hands the sink aligned data.
  data_.resize(desc.bufferBytes / pcm_.BlockAlign() * pcm_.BlockAlign());
  FillSilence(pcm_, data_.data(), data_.size());
}

DsBuffer::~DsBuffer() {
  {
    std::lock_guard lock(mutex_);
    stopThread_ = true;
    wake_.notify_all();
  }
  if (drainThread_.IsStarted()) drainThread_.Join();
  sink_->Close();
}

int32_t DsBuffer::OpenSinkLocked() {
  const uint64_t bufferMillis = uint64_t{data_.size()} * 1000 / pcm_.BytesPerSecond();
  sinkMillis_ = options_.sinkMillis ? options_.sinkMillis
                                    : static_cast<uint32_t>(std::clamp<uint64_t>(
                                          bufferMillis / 4, kMinSinkMillis, kMaxSinkMillis));
  if (!sink_->Open(options_.deviceId, pcm_, sinkMillis_)) {
    // A sound server that cannot be reached is no answer about the format.
    return sink_->RefusedFormat() ? kDsErrBadFormat : kDsErrNoDriver;
  }
  // A buffer is created stopped.
  if (!playing_ && !sink_->Pause(true)) {
    sink_->Close();
    return kDsErrNoDriver;
  }
  return kDsOk;
}

uint32_t DsBuffer::QueuedInSinkLocked() {
  if (!sink_->IsOpen()) return 0;
  const uint64_t written = sink_->FramesWritten();
  const uint64_t played = sink_->FramesPlayed();
  const uint64_t bytes = (written - std::min(written, played)) * pcm_.BlockAlign();
  return static_cast<uint32_t>(std::min<uint64_t>(bytes, data_.size()));
}

int32_t DsBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                       void** part2, uint32_t* bytes2, uint32_t flags) {
  if (!part1 || !bytes1) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  if (lost_) return kDsErrBufferLost;
  const auto size = static_cast<uint32_t>(data_.size());
  if (flags & kDsLockEntireBuffer) {
    offset = 0;
    bytes = size;
  } else if (flags & kDsLockFromWriteCursor) {
    offset = writeCursor_;
  }
  if (bytes == 0 || bytes > size || offset >= size) return kDsErrInvalidParam;
  const uint32_t first = std::min(bytes, size - offset);
  const uint32_t second = bytes - first;
  if (second != 0 && (!part2 || !bytes2)) return kDsErrInvalidParam;
  LockedRegion region{offset, bytes, std::vector<uint8_t>(bytes)};
  std::memcpy(region.copy.data(), data_.data() + offset, first);
  if (second) std::memcpy(region.copy.data() + first, data_.data(), second);
  locks_.push_back(std::move(region));
  std::vector<uint8_t>& copy = locks_.back().copy;
  *part1 = copy.data();
  *bytes1 = first;
  if (part2) *part2 = second ? copy.data() + first : nullptr;
  if (bytes2) *bytes2 = second;
  return kDsOk;
}

int32_t DsBuffer::Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(locks_.begin(), locks_.end(),
                         [&](const LockedRegion& r) { return r.copy.data() == part1; });
  if (!part1 || it == locks_.end()) return kDsErrInvalidParam;
  const auto size = static_cast<uint32_t>(data_.size());
  const uint32_t first = std::min(it->bytes, size - it->offset);
  const uint32_t second = it->bytes - first;
  if (bytes1 > first || bytes2 > second || (bytes2 != 0 && part2 != it->copy.data() + first)) {
    return kDsErrInvalidParam;
  }
  std::memcpy(data_.data() + it->offset, it->copy.data(), bytes1);
  if (bytes2) std::memcpy(data_.data(), it->copy.data() + first, bytes2);
  locks_.erase(it);
  return kDsOk;
}

int32_t DsBuffer::Play(uint32_t reserved1, uint32_t /*priority*/, uint32_t flags) {
  if (reserved1 != 0) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  if (lost_) return kDsErrBufferLost;
  looping_ = (flags & kDsPlayLooping) != 0;
  endReached_ = false;
  if (!playing_) {
    if (!sink_->Pause(false)) {
      lost_ = true;
      return kDsErrBufferLost;
    }
    playing_ = true;
  }
  wake_.notify_all();
  return kDsOk;
}

int32_t DsBuffer::Stop() {
  std::lock_guard lock(mutex_);
  if (!playing_) return kDsOk;
  playing_ = false;
  endReached_ = false;
  if (!sink_->Pause(true)) {
    lost_ = true;
    return kDsErrBufferLost;
  }
  return kDsOk;
}

int32_t DsBuffer::GetStatus(uint32_t* status) {
  if (!status) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  *status = (playing_ ? kDsStatusPlaying : 0) | (playing_ && looping_ ? kDsStatusLooping : 0) |
            (lost_ ? kDsStatusBufferLost : 0);
  return kDsOk;
}

int32_t DsBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) {
  std::lock_guard lock(mutex_);
  const auto size = static_cast<uint32_t>(data_.size());
  const uint32_t queued = QueuedInSinkLocked();
  if (playCursor) *playCursor = (writeCursor_ + size - queued) % size;
  if (writeCursor) *writeCursor = writeCursor_;
  return kDsOk;
}

int32_t DsBuffer::SetCurrentPosition(uint32_t offset) {
  std::lock_guard lock(mutex_);
  if (offset >= data_.size()) return kDsErrInvalidParam;
  if (lost_) return kDsErrBufferLost;
  sink_->Flush();
  writeCursor_ = offset / pcm_.BlockAlign() * pcm_.BlockAlign();
  endReached_ = false;
  return kDsOk;
}

int32_t DsBuffer::SetFormat(const WaveFormat& format) {
  PcmFormat pcm;
  if (!WaveFormatToPcm(format, pcm)) return kDsErrBadFormat;
  std::lock_guard lock(mutex_);
  if (!locks_.empty()) return kDsErrInvalidCall;
  const size_t size = data_.size() / pcm.BlockAlign() * pcm.BlockAlign();
  if (size < kDsBufferMinBytes || size == 0) return kDsErrInvalidParam;
  const PcmFormat oldPcm = pcm_;
  sink_->Close();
  pcm_ = pcm;
  if (OpenSinkLocked() < 0) {
    // Keep the buffer usable in its old format.
    pcm_ = oldPcm;
    lost_ = OpenSinkLocked() < 0;
    return kDsErrBadFormat;
  }
  format_ = format;
  data_.resize(size);
  FillSilence(pcm_, data_.data(), data_.size());
  writeCursor_ = 0;
  endReached_ = false;
  lost_ = false;
  UpdateGainsLocked();
  wake_.notify_all();
  return kDsOk;
}

int32_t DsBuffer::GetFormat(WaveFormat* format) {
  if (!format) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  *format = format_;
  return kDsOk;
}

void DsBuffer::UpdateGainsLocked() {
  const float volume = CentibelsToGain(volume_);
  gains_.left = volume * (pan_ > 0 ? CentibelsToGain(-pan_) : 1.0f);
  gains_.right = volume * (pan_ < 0 ? CentibelsToGain(pan_) : 1.0f);
  gains_.others = volume;
}

int32_t DsBuffer::SetVolume(int32_t centibels) {
  if (centibels < kDsVolumeMin || centibels > kDsVolumeMax) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  volume_ = centibels;
  UpdateGainsLocked();
  return kDsOk;
}

int32_t DsBuffer::GetVolume(int32_t* centibels) {
  if (!centibels) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  *centibels = volume_;
  return kDsOk;
}

int32_t DsBuffer::SetPan(int32_t pan) {
  if (pan < kDsPanLeft || pan > kDsPanRight) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  pan_ = pan;
  UpdateGainsLocked();
  return kDsOk;
}

int32_t DsBuffer::GetPan(int32_t* pan) {
  if (!pan) return kDsErrInvalidParam;
  std::lock_guard lock(mutex_);
  *pan = pan_;
  return kDsOk;
}

int32_t DsBuffer::Restore() {
  std::lock_guard lock(mutex_);
  if (!lost_) return kDsOk;
  sink_->Close();
  playing_ = false;
  const int32_t r = OpenSinkLocked();
  if (r < 0) return r;
  lost_ = false;
  return kDsOk;
}

bool DsBuffer::SetThreadPriority(ThreadPriority priority) {
  return drainThread_.IsStarted() && drainThread_.SetPriority(priority);
}

uint32_t DsBuffer::Size() {
  std::lock_guard lock(mutex_);
  return static_cast<uint32_t>(data_.size());
}

size_t DsBuffer::Pump() {
  std::lock_guard lock(mutex_);
  if (!playing_ || lost_) return 0;
  if (endReached_) {
    // A one-shot play stops once the sink has played its last byte.
    if (QueuedInSinkLocked() == 0) {
      playing_ = false;
      endReached_ = false;
      sink_->Pause(true);
    }
    return 0;
  }
  if (sink_->HasFailed()) {
    lost_ = true;
    playing_ = false;
    return 0;
  }
  const size_t align = pcm_.BlockAlign();
  size_t room = sink_->WritableBytes();
  size_t moved = 0;
  while (room >= align) {
    size_t piece = std::min({room, data_.size() - writeCursor_, kPumpChunkBytes});
    piece = piece / align * align;
    if (piece == 0) break;
    scratch_.resize(piece);
    ApplyPcmGain(pcm_, gains_, data_.data() + writeCursor_, scratch_.data(), piece);
    const int64_t n = sink_->Write(scratch_.data(), piece);
    if (n < 0) {
      lost_ = true;
      playing_ = false;
      break;
    }
    if (n == 0) break;
    writeCursor_ += static_cast<uint32_t>(n);
    moved += static_cast<size_t>(n);
    room -= static_cast<size_t>(n);
    if (writeCursor_ >= data_.size()) {
      writeCursor_ = 0;
      if (!looping_) {
        endReached_ = true;
        break;
      }
    }
  }
  return moved;
}

void DsBuffer::DrainLoop() {
  std::unique_lock lock(mutex_);
  while (!stopThread_) {
    // A few passes per sink buffer keep it full without spinning.
    wake_.wait_for(lock, std::chrono::milliseconds(std::max<uint32_t>(2, sinkMillis_ / 4)));
    if (stopThread_) break;
    lock.unlock();
    Pump();
    lock.lock();
  }
}

}  // namespace vk2
