#include "audio/outputs/waveout/wave_out_output.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/common/module_error_table.h"
#include "audio/outputs/common/format_layout.h"
#include "foundation/util/result.h"
#include "interfaces/runtime/console.h"
#include "platform/clock.h"
#include "platform/sleep.h"

namespace vk2 {
namespace {

ModuleErrorTable& Errors() {
  static ModuleErrorTable table(
      "waveOutOutput",
      {"WaveOut couldn't be initialized; there may not be any WaveOut drivers installed",
       "WaveOut failed to play", "WaveOut failed to stop",
       "WaveOut can not output sound with a buffer size as small as was specified. The buffer "
       "must be at least 8KB large"});
  return table;
}

// How long Write waits for a block at a time, and how long in all before it gives up (the
// device has stopped playing).
constexpr uint32_t kBlockWaitMs = 25;
constexpr uint32_t kGiveUpMarginMs = 1000;

std::vector<SinkDevice> ListDevices(const PcmSinkFactory& sinks) {
  std::vector<SinkDevice> devices;
  WaveOut::Enumerate(devices, sinks);
  return devices;
}

}  // namespace

int32_t WaveOutOutputError(WaveOutError entry) {
  return Errors().Code(entry);
}

WaveOutOutput::WaveOutOutput(PcmSinkFactory sinks, WaveOutOptions options)
    : OutputDeviceBase(u"waveOutOutput", u"Windows WaveOut Audio Output", ListDevices(sinks)),
      sinks_(std::move(sinks)),
      options_(std::move(options)) {
  Errors().Register(errors_.Registry());
  noDevicesName_ = u"No output devices found";
  options_.sinkFactory = sinks_;
}

WaveOutOutput::~WaveOutOutput() {
  Close();
}

uint32_t WaveOutOutput::Levels(double volume, double balance) {
  const double v = std::clamp(volume, 0.0, 1.0);
  const double b = std::clamp(balance, -1.0, 1.0);
  // The bracket is cut to a whole number before the product, the product after it.
  const double leftBracket = std::trunc(65535.0 - std::max(b * 65535.0, 0.0));
  const double rightBracket = std::trunc(65535.0 - std::max(-b * 65535.0, 0.0));
  const auto left = static_cast<uint32_t>(std::trunc(v * leftBracket));
  const auto right = static_cast<uint32_t>(std::trunc(v * rightBracket));
  return (left & 0xFFFF) | (right & 0xFFFF) << 16;
}

uint32_t WaveOutOutput::BlocksFor(const PcmFormat& pcm, uint64_t millis) {
  const uint64_t bytes = millis * pcm.sampleRate / 1000 * pcm.BlockAlign();
  return static_cast<uint32_t>(
      std::min<uint64_t>((bytes + kBlockBytes / 2) / kBlockBytes, 0xFFFFFFFFu / kBlockBytes));
}

PcmSink* WaveOutOutput::SinkForTesting() {
  ScopedLock lock(deviceLock_);
  return device_ ? &device_->Sink() : nullptr;
}

bool WaveOutOutput::Acceptable(AudioFormat* format, PcmFormat& pcm) {
  // 8-bit unsigned and 16-bit signed samples only.
  if (!format || !PcmLayoutOf(*format, pcm)) return false;
  return !pcm.isFloat && (pcm.bitsPerSample == 8 || pcm.bitsPerSample == 16);
}

int32_t WaveOutOutput::CanOpen(AudioFormat* format) {
  PcmFormat pcm;
  if (!Acceptable(format, pcm)) return 0;
  const std::vector<SinkDevice> devices = ListDevices(sinks_);
  std::string sinkId;
  size_t index = 0;
  if (!ResolveSelectedDevice(devices, &sinkId, &index)) return kErrFailed;
  std::unique_ptr<WaveOut> probe;
  return WaveOut::Open(probe, static_cast<uint32_t>(index), PcmToWaveFormat(pcm), nullptr,
                       kWaveFormatQuery, options_) == kMmOk
             ? 1
             : kErrFailed;
}

bool WaveOutOutput::OpenDevice(const PcmFormat& pcm) {
  ScopedLock lock(deviceLock_);
  const std::vector<SinkDevice> devices = ListDevices(sinks_);
  std::string sinkId;
  size_t index = 0;
  if (!ResolveSelectedDevice(devices, &sinkId, &index)) return false;
  std::unique_ptr<WaveOut> device;
  if (WaveOut::Open(
          device, static_cast<uint32_t>(index), PcmToWaveFormat(pcm), [this] { done_.Set(); }, 0,
          options_) != kMmOk ||
      !device) {
    return false;
  }
  // Opened paused: it starts when told to play.
  if (device->Pause() != kMmOk) {
    device->Close();
    ConsoleLine(kConsoleError, Utf16(Errors().Message(kWaveOutNotInitialized)));
    return false;
  }
  const uint32_t count = BlocksFor(pcm, bufferMillis_);
  if (count < 2) {
    device->Close();
    ConsoleLine(kConsoleError, Utf16(Errors().Message(kWaveOutBufferTooSmall)));
    return false;
  }
  std::vector<Block> blocks(count);
  for (Block& b : blocks) {
    b.data.assign(kBlockBytes, pcm.SilenceByte());
    b.header.data = b.data.data();
    b.header.bufferLength = kBlockBytes;
    b.header.user = kBlockBytes;
  }
  device->SetVolume(Levels(volume_, balance_));
  device_ = std::move(device);
  blocks_ = std::move(blocks);
  current_ = 0;
  queued_ = 0;
  open_ = pcm;
  paused_ = true;
  done_.Reset();
  return true;
}

void WaveOutOutput::CloseDevice() {
  ScopedLock lock(deviceLock_);
  if (!device_) return;
  // Reset first: after it the device reads none of the blocks, which may then be freed.
  device_->Reset();
  for (Block& b : blocks_) {
    device_->UnprepareHeader(&b.header);
    b.header.flags = 0;
  }
  device_->Close();
  device_.reset();
  blocks_.clear();
  held_.clear();
  current_ = 0;
  queued_ = 0;
}

bool WaveOutOutput::Open(AudioFormat* format, double bufferSeconds) {
  PcmFormat pcm;
  if (!Acceptable(format, pcm) || !(bufferSeconds > 0)) return false;
  CloseDevice();
  {
    ScopedLock lock(deviceLock_);
    bufferMillis_ = static_cast<uint32_t>(std::min(bufferSeconds * 1000.0, 3600000.0));
  }
  return OpenDevice(pcm);
}

void WaveOutOutput::Close() {
  CloseDevice();
}

uint32_t WaveOutOutput::BufferSize() {
  ScopedLock lock(deviceLock_);
  return static_cast<uint32_t>(blocks_.size()) * kBlockBytes;
}

bool WaveOutOutput::ReclaimDoneLocked() {
  for (Block& b : blocks_) {
    if (!(b.header.flags & kWhdrDone)) continue;
    if (device_->UnprepareHeader(&b.header) != kMmOk) return false;
    b.header.flags = 0;
    b.fill = 0;
  }
  return true;
}

bool WaveOutOutput::QueueCurrentLocked() {
  Block& b = blocks_[current_];
  if (b.fill < kBlockBytes) {
    std::memset(b.data.data() + b.fill, open_.SilenceByte(), kBlockBytes - b.fill);
    b.fill = kBlockBytes;
  }
  b.header.bufferLength = kBlockBytes;
  if (device_->PrepareHeader(&b.header) != kMmOk) return false;
  if (device_->Write(&b.header) != kMmOk) {
    device_->UnprepareHeader(&b.header);
    return false;
  }
  queued_ += kBlockBytes;
  current_ = (current_ + 1) % blocks_.size();
  return true;
}

bool WaveOutOutput::PlaceLocked(const uint8_t*& in, size_t& count) {
  while (count > 0) {
    Block& b = blocks_[current_];
    if (b.header.flags != 0) return true;  // still queued
    const auto n = static_cast<uint32_t>(std::min<size_t>(count, kBlockBytes - b.fill));
    std::memcpy(b.data.data() + b.fill, in, n);
    b.fill += n;
    in += n;
    count -= n;
    if (b.fill == kBlockBytes && !QueueCurrentLocked()) return false;
  }
  return true;
}

bool WaveOutOutput::PlaceHeldLocked() {
  if (held_.empty()) return true;
  const uint8_t* in = held_.data();
  size_t count = held_.size();
  if (!PlaceLocked(in, count)) return false;
  held_.erase(held_.begin(), held_.end() - static_cast<std::ptrdiff_t>(count));
  return true;
}

bool WaveOutOutput::Write(const void* data, uint32_t count) {
  if (!data && count > 0) return false;
  const auto* in = static_cast<const uint8_t*>(data);
  size_t left = count;
  Clock& clock = CurrentClock();
  uint64_t deadline = 0;
  for (;;) {
    {
      ScopedLock lock(deviceLock_);
      if (!device_ || blocks_.empty()) return false;
      if (!ReclaimDoneLocked()) return false;
      // What an earlier Write held back goes first.
      const size_t heldBefore = held_.size();
      if (!PlaceHeldLocked()) return false;
      if (held_.empty() && !PlaceLocked(in, left)) return false;
      if (left == 0 && held_.empty()) return true;
      if (paused_) {
        // A paused device hands no block back: keep the rest until it plays again.
        held_.insert(held_.end(), in, in + left);
        return true;
      }
      if (held_.size() < heldBefore) deadline = 0;
      if (deadline == 0) deadline = clock.NowMs() + bufferMillis_ + kGiveUpMarginMs;
    }
    // Every block is still queued: wait for the device to hand one back.
    done_.Wait(kBlockWaitMs);
    if (clock.NowMs() >= deadline) return false;
  }
}

uint32_t WaveOutOutput::FreeSpaceLocked() {
  if (!device_ || blocks_.empty()) return 0;
  if (!ReclaimDoneLocked()) return 0;
  if (paused_) {
    // A paused device finishes no block: the played part of one still queued is no room yet.
    uint64_t free = 0;
    for (const Block& b : blocks_) {
      if (b.header.flags == 0) free += kBlockBytes - b.fill;
    }
    return static_cast<uint32_t>(free - std::min<uint64_t>(free, held_.size()));
  }
  uint64_t played = 0;
  if (device_->GetPosition(&played) != kMmOk) return 0;
  const uint64_t size = uint64_t{blocks_.size()} * kBlockBytes;
  // 64-bit counts: nothing wraps; a full ring never reads as empty, and the block being
  // filled counts as used.
  const uint64_t inFlight = std::min(queued_ - std::min(played, queued_), size);
  const Block& b = blocks_[current_];
  const uint64_t filling = (b.header.flags == 0 ? b.fill : 0) + held_.size();
  return static_cast<uint32_t>(size - inFlight - std::min(filling, size - inFlight));
}

uint32_t WaveOutOutput::FreeSpace() {
  ScopedLock lock(deviceLock_);
  return FreeSpaceLocked();
}

bool WaveOutOutput::Play() {
  ScopedLock flags(flagsLock_);
  if (hold_) return true;
  ScopedLock lock(deviceLock_);
  if (!device_ || device_->Restart() != kMmOk) return false;
  paused_ = false;
  return true;
}

bool WaveOutOutput::Pause() {
  ScopedLock flags(flagsLock_);
  if (hold_) {
    // A drain under way stops waiting and leaves the device as it is.
    hold_ = false;
    if (changing_) pausedDuringChange_ = true;
    return true;
  }
  ScopedLock lock(deviceLock_);
  if (!device_ || device_->Pause() != kMmOk) return false;
  paused_ = true;
  return true;
}

bool WaveOutOutput::Flush() {
  {
    ScopedLock flags(flagsLock_);
    hold_ = true;
  }
  bool ok = false;
  {
    ScopedLock lock(deviceLock_);
    if (device_ && device_->Reset() == kMmOk) {
      queued_ = 0;
      ReclaimDoneLocked();
      blocks_[current_].fill = 0;
      held_.clear();
      // A paused device stays paused: it starts again only when told to play.
      ok = paused_ || device_->Restart() == kMmOk;
    }
  }
  ScopedLock flags(flagsLock_);
  hold_ = false;
  return ok;
}

bool WaveOutOutput::Drain(Event* wake) {
  {
    ScopedLock flags(flagsLock_);
    hold_ = true;
  }
  bool ok = true;
  bool paused = true;
  uint32_t size = 0;
  uint64_t deadline = 0;
  Clock& clock = CurrentClock();
  {
    ScopedLock lock(deviceLock_);
    if (!device_ || blocks_.empty()) return false;
    ReclaimDoneLocked();
    paused = paused_;
  }
  // What Write held back while paused is placed first; it waits for blocks as Write does.
  if (!paused && !Write(nullptr, 0)) ok = false;
  {
    ScopedLock lock(deviceLock_);
    if (!device_ || blocks_.empty()) return false;
    Block& b = blocks_[current_];
    if (ok && b.header.flags == 0 && b.fill > 0 && !QueueCurrentLocked()) ok = false;
    paused = paused_;
    size = static_cast<uint32_t>(blocks_.size()) * kBlockBytes;
    deadline = clock.NowMs() + bufferMillis_ + kGiveUpMarginMs;
  }
  // A paused device plays nothing: there is nothing to wait for.
  while (ok && !paused) {
    {
      ScopedLock flags(flagsLock_);
      if (!hold_) break;
    }
    const uint32_t free = FreeSpace();
    if (free >= size) break;
    if (DrainSleep(wake, size - free)) break;
    if (clock.NowMs() >= deadline) {
      ok = false;  // the device stopped playing
      break;
    }
  }
  ScopedLock flags(flagsLock_);
  if (!hold_) return ok;
  hold_ = false;
  ScopedLock lock(deviceLock_);
  if (!device_ || device_->Reset() != kMmOk) return false;
  queued_ = 0;
  ReclaimDoneLocked();
  blocks_[current_].fill = 0;
  held_.clear();
  return ok;
}

bool WaveOutOutput::ChangeFormat(AudioFormat* format) {
  PcmFormat pcm;
  if (!Acceptable(format, pcm)) return false;
  bool wasPaused = true;
  {
    ScopedLock flags(flagsLock_);
    changing_ = true;
    pausedDuringChange_ = false;
    ScopedLock lock(deviceLock_);
    wasPaused = paused_;
  }
  const bool drained = Drain(nullptr);
  CloseDevice();
  const bool opened = drained && OpenDevice(pcm);
  ScopedLock flags(flagsLock_);
  changing_ = false;
  if (!opened) return false;
  // The new device opens paused; it goes on playing unless it was paused, or a pause
  // arrived while the old one drained.
  if (wasPaused || pausedDuringChange_) return true;
  ScopedLock lock(deviceLock_);
  if (device_->Restart() != kMmOk) return false;
  paused_ = false;
  return true;
}

bool WaveOutOutput::SetVolume(double volume) {
  ScopedLock lock(deviceLock_);
  volume_ = volume;
  return device_ && device_->SetVolume(Levels(volume_, balance_)) == kMmOk;
}

bool WaveOutOutput::SetBalance(double balance) {
  ScopedLock lock(deviceLock_);
  balance_ = balance;
  return device_ && device_->SetVolume(Levels(volume_, balance_)) == kMmOk;
}

}  // namespace vk2
