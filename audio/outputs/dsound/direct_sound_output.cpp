#include "audio/outputs/dsound/direct_sound_output.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/common/module_error_table.h"
#include "audio/outputs/common/format_layout.h"
#include "audio/outputs/dsound/ds_command_thread.h"
#include "foundation/util/result.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/clock.h"
#include "platform/sleep.h"

namespace vk2 {
namespace {

ModuleErrorTable& Errors() {
  static ModuleErrorTable table(
      "DirectSoundOutput",
      {"DirectSound couldn't be initialized; there may not be any DirectSound drivers installed",
       "DirectSound failed to play", "DirectSound failed to stop",
       "the DirectSound device that is selected to be the current output device could not be "
       "found. You may need to select a new output device",
       "no DirectSound devices found - is there a sound output device installed?"});
  return table;
}

constexpr uint32_t kProbeMillis = 100;
constexpr uint32_t kPriorityLevel = 2;
constexpr int kLockTries = 5;
// A drain gives up this long after the buffer's own length: the cursor has stalled.
constexpr uint32_t kDrainMarginMs = 1000;
// Longer than the stand-in's pieces (a quarter of its sink latency, at most 62.5 ms).
constexpr uint32_t kRestartMarginMs = 70;

}  // namespace

int32_t DirectSoundOutputError(DirectSoundError entry) {
  return Errors().Code(entry);
}

DirectSoundOutput::DirectSoundOutput(PcmSinkFactory sinks, DsBufferOptions bufferOptions)
    : OutputDeviceBase(u"DirectSoundOutput", u"DirectSound Audio Output",
                       [&sinks] {
                         std::vector<SinkDevice> devices;
                         DirectSound::Enumerate(devices, sinks);
                         return devices;
                       }()),
      sinks_(std::move(sinks)),
      bufferOptions_(std::move(bufferOptions)) {
  Errors().Register(errors_.Registry());
  table_.AddInteger(
      u"enablefloatingpoint", kPropInteger, nullptr,
      [this](int32_t* v) {
        ScopedLock lock(deviceLock_);
        *v = enableFloat_ ? 1 : 0;
        return kOk;
      },
      [this](int32_t v) {
        ScopedLock lock(deviceLock_);
        enableFloat_ = v != 0;
        return kOk;
      });
}

DirectSoundOutput::~DirectSoundOutput() {
  Close();
}

uint64_t DirectSoundOutput::BufferBytesFor(const PcmFormat& pcm, uint64_t millis) {
  return uint64_t{pcm.sampleRate} * millis / 1000 * pcm.BytesPerSample() * pcm.channels;
}

int32_t DirectSoundOutput::VolumeToCentibels(double volume) {
  if (!(volume > 0)) return kDsVolumeMin;
  const double cb = std::trunc(1000.0 * std::log2(std::min(volume, 1.0)));
  return static_cast<int32_t>(std::max<double>(cb, kDsVolumeMin));
}

int32_t DirectSoundOutput::BalanceToPan(double balance) {
  const double b = std::clamp(balance, -1.0, 1.0);
  return static_cast<int32_t>(std::trunc(b * 10000.0));
}

uint32_t DirectSoundOutput::RestartMargin(const PcmFormat& pcm, uint32_t bufferBytes) {
  const uint64_t margin =
      std::min<uint64_t>(BufferBytesFor(pcm, kRestartMarginMs), bufferBytes / 4);
  const uint32_t frame = std::max<uint32_t>(pcm.BlockAlign(), 1);
  return static_cast<uint32_t>(margin / frame * frame);
}

void DirectSoundOutput::RestartWriteCursor(DsBuffer& buffer) {
  uint32_t dsWrite = 0;
  buffer.GetCurrentPosition(nullptr, &dsWrite);
  const uint32_t size = buffer.Size();
  PcmFormat pcm;
  {
    ScopedLock lock(deviceLock_);
    pcm = open_;
  }
  ScopedLock lock(cursorLock_);
  writeCursor_ = size ? (dsWrite + RestartMargin(pcm, size)) % size : 0;
}

std::shared_ptr<DsBuffer> DirectSoundOutput::Buffer() {
  ScopedLock lock(deviceLock_);
  return buffer_;
}

bool DirectSoundOutput::Acceptable(AudioFormat* format, PcmFormat& pcm) {
  if (!format || !PcmLayoutOf(*format, pcm)) return false;
  ScopedLock lock(deviceLock_);
  return !pcm.isFloat || enableFloat_;
}

int32_t DirectSoundOutput::Create(const PcmFormat& pcm, bool probe) {
  ScopedLock lock(deviceLock_);
  std::vector<SinkDevice> devices;
  if (!DirectSound::Enumerate(devices, sinks_) || devices.empty()) {
    return DirectSoundOutputError(kDsOutNoDevices);
  }
  std::string sinkId;
  if (!ResolveSelectedDevice(devices, &sinkId, nullptr)) {
    return DirectSoundOutputError(kDsOutDeviceNotFound);
  }
  if (!sound_ || soundDevice_ != sinkId) {
    sound_ = nullptr;
    std::unique_ptr<DirectSound> sound;
    if (DirectSound::Create(sinkId, sinks_, sound) != kDsOk || !sound ||
        sound->SetCooperativeLevel(0, kPriorityLevel) != kDsOk) {
      return DirectSoundOutputError(kDsOutNotInitialized);
    }
    sound_ = std::move(sound);
    soundDevice_ = sinkId;
  }
  const uint64_t bytes = BufferBytesFor(pcm, probe ? kProbeMillis : bufferMillis_);
  if (bytes < kDsBufferMinBytes || bytes > kDsBufferMaxBytes) return 0;
  DsBufferDesc desc;
  desc.flags = kDirectSoundBufferFlags;
  desc.bufferBytes = static_cast<uint32_t>(bytes);
  desc.format = PcmToWaveFormat(pcm);
  auto made = std::make_shared<std::unique_ptr<DsBuffer>>();
  std::shared_ptr<DirectSound> sound = sound_;
  DsBufferOptions options = bufferOptions_;
  const int32_t r = DsCommandThread::Instance().Run(
      [sound, desc, options, made] { return sound->CreateSoundBuffer(desc, *made, options); });
  // The back end not reached is the device's failure; only a refused format means "cannot open
  // this one", so that the endpoint tries the next and the user hears of the real cause.
  if (r == kDsErrNoDriver) return DirectSoundOutputError(kDsOutNotInitialized);
  if (r != kDsOk || !*made) return 0;
  if (probe) return 1;
  buffer_ = std::shared_ptr<DsBuffer>(std::move(*made));
  open_ = pcm;
  bufferBytes_ = buffer_->Size();
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (LockRegion(*buffer_, 0, 0, kDsLockEntireBuffer, &p1, &n1, &p2, &n2)) {
    FillSilence(open_, p1, n1);
    buffer_->Unlock(p1, n1, p2, n2);
  }
  buffer_->SetVolume(VolumeToCentibels(volume_));
  buffer_->SetPan(BalanceToPan(balance_));
  return 1;
}

int32_t DirectSoundOutput::CanOpen(AudioFormat* format) {
  PcmFormat pcm;
  if (!Acceptable(format, pcm)) return 0;
  return Create(pcm, true);
}

bool DirectSoundOutput::Open(AudioFormat* format, double bufferSeconds) {
  PcmFormat pcm;
  if (!Acceptable(format, pcm) || !(bufferSeconds > 0)) return false;
  {
    ScopedLock lock(deviceLock_);
    buffer_ = nullptr;
    bufferMillis_ = static_cast<uint32_t>(std::min(bufferSeconds * 1000.0, 3600000.0));
  }
  {
    ScopedLock lock(cursorLock_);
    writeCursor_ = 0;
  }
  return Create(pcm, false) > 0;
}

void DirectSoundOutput::Close() {
  std::shared_ptr<DsBuffer> buffer;
  {
    ScopedLock lock(deviceLock_);
    buffer = std::move(buffer_);
    buffer_ = nullptr;
    bufferBytes_ = 0;
  }
  // Released on the command thread, like every buffer operation that reaches the device.
  if (buffer)
    DsCommandThread::Instance().Run([buffer]() mutable {
      buffer.reset();
      return 0;
    });
}

bool DirectSoundOutput::ChangeFormat(AudioFormat* format) {
  PcmFormat pcm;
  if (!Acceptable(format, pcm)) return false;
  std::shared_ptr<DsBuffer> old = Buffer();
  if (!old) return false;
  uint32_t status = 0;
  old->GetStatus(&status);
  const bool wasPlaying = (status & kDsStatusPlaying) != 0;
  // What is queued plays out in the old format first.
  if (!Drain(nullptr)) return false;
  old->GetStatus(&status);
  // A pause that arrived during the drain stopped the buffer: the new one waits for Play.
  const bool playOn = wasPlaying && (status & kDsStatusPlaying) != 0;
  // A new buffer of the same length in time: the old one's byte size would change the latency
  // with the byte rate.
  Close();
  {
    ScopedLock lock(cursorLock_);
    writeCursor_ = 0;
  }
  if (Create(pcm, false) <= 0) return false;
  // It goes on playing once the data written in the new format fills it: started now, it would
  // run through its silence ahead of the writes.
  ScopedLock flags(flagsLock_);
  playOnWrite_ = playOn;
  return true;
}

uint32_t DirectSoundOutput::BufferSize() {
  ScopedLock lock(deviceLock_);
  return bufferBytes_;
}

bool DirectSoundOutput::Play() {
  ScopedLock flags(flagsLock_);
  if (draining_) return true;
  playOnWrite_ = false;
  std::shared_ptr<DsBuffer> buffer = Buffer();
  if (!buffer) return false;
  return DsCommandThread::Instance().Run([buffer] { return buffer->Play(0, 0, kDsPlayLooping); }) ==
         kDsOk;
}

bool DirectSoundOutput::Pause() {
  ScopedLock flags(flagsLock_);
  playOnWrite_ = false;
  if (draining_) {
    // The drain under way stops waiting and stops the buffer itself.
    draining_ = false;
    return true;
  }
  std::shared_ptr<DsBuffer> buffer = Buffer();
  return buffer && buffer->Stop() == kDsOk;
}

bool DirectSoundOutput::LockRegion(DsBuffer& buffer, uint32_t offset, uint32_t bytes,
                                   uint32_t flags, void** p1, uint32_t* n1, void** p2,
                                   uint32_t* n2) {
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (attempt > 0) SleepMs(1);
    if (buffer.Lock(offset, bytes, p1, n1, p2, n2, flags) == kDsOk) return true;
  }
  return false;
}

void DirectSoundOutput::FillSilenceBetween(DsBuffer& buffer, uint32_t from, uint32_t to) {
  const uint32_t size = buffer.Size();
  if (size == 0 || from == to) return;
  const uint32_t bytes = (to + size - from) % size;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (!LockRegion(buffer, from, bytes, 0, &p1, &n1, &p2, &n2)) return;
  FillSilence(open_, p1, n1);
  if (p2) FillSilence(open_, p2, n2);
  buffer.Unlock(p1, n1, p2, n2);
}

bool DirectSoundOutput::Flush() {
  std::shared_ptr<DsBuffer> buffer = Buffer();
  if (!buffer) return false;
  uint32_t dsWrite = 0;
  if (buffer->GetCurrentPosition(nullptr, &dsWrite) != kDsOk) return false;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (LockRegion(*buffer, 0, 0, kDsLockEntireBuffer, &p1, &n1, &p2, &n2)) {
    FillSilence(open_, p1, n1);
    buffer->Unlock(p1, n1, p2, n2);
  }
  uint32_t status = 0;
  buffer->GetStatus(&status);
  if (!(status & kDsStatusPlaying)) {
    // Stopped: what was committed to the sound layer goes too, and the next write is the first
    // thing heard when it plays.
    if (buffer->SetCurrentPosition(0) != kDsOk) return false;
    ScopedLock lock(cursorLock_);
    writeCursor_ = 0;
    return true;
  }
  // Playing: the committed sound is dropped where it stands; the buffer plays on through
  // silence up to the restart margin.
  if (buffer->SetCurrentPosition(dsWrite) != kDsOk) return false;
  RestartWriteCursor(*buffer);
  return true;
}

uint32_t DirectSoundOutput::FreeSpace() {
  std::shared_ptr<DsBuffer> buffer = Buffer();
  if (!buffer) return 0;
  const uint32_t size = buffer->Size();
  if (size == 0) return 0;
  uint32_t first = 0, second = 0;
  buffer->GetCurrentPosition(&first, nullptr);
  buffer->GetCurrentPosition(&second, nullptr);
  // A wrap between the two readings: read again.
  if ((second + size - first) % size > size / 2) {
    buffer->GetCurrentPosition(&first, nullptr);
    buffer->GetCurrentPosition(&second, nullptr);
  }
  ScopedLock lock(cursorLock_);
  const uint32_t free = (size + second - writeCursor_) % size;
  return free == 0 ? size : free;
}

bool DirectSoundOutput::Drain(Event* wake) {
  std::shared_ptr<DsBuffer> buffer = Buffer();
  if (!buffer) return false;
  {
    ScopedLock flags(flagsLock_);
    draining_ = true;
    // A buffer waiting to be filled before it plays on holds all there is: it plays now.
    if (playOnWrite_) {
      playOnWrite_ = false;
      DsCommandThread::Instance().Run([buffer] { return buffer->Play(0, 0, kDsPlayLooping); });
    }
  }
  uint32_t status = 0;
  buffer->GetStatus(&status);
  bool ok = true;
  // A buffer that does not play never drains: what it holds stays unplayed.
  if (status & kDsStatusPlaying) {
    const uint32_t size = buffer->Size();
    uint32_t fill = 0;
    {
      ScopedLock lock(cursorLock_);
      fill = writeCursor_;
    }
    uint32_t lastFree = FreeSpace();
    uint32_t millis = 0;
    {
      ScopedLock lock(deviceLock_);
      millis = bufferMillis_;
    }
    Clock& clock = CurrentClock();
    const uint64_t deadline = clock.NowMs() + millis + kDrainMarginMs;
    for (;;) {
      {
        ScopedLock flags(flagsLock_);
        if (!draining_) break;
      }
      const uint32_t free = FreeSpace();
      // The play cursor passed the end of the data: the room it measures fell sharply.
      if (free + size / 32 < lastFree) break;
      lastFree = free;
      // Silence behind the data, so that the looping buffer plays no old sound.
      uint32_t play = 0;
      buffer->GetCurrentPosition(&play, nullptr);
      FillSilenceBetween(*buffer, fill, play);
      fill = play;
      // What was played is silence now, so the sleep may be long while much is still to come.
      if (DrainSleep(wake, size - std::min(free, size))) break;
      if (clock.NowMs() >= deadline) {
        ok = false;
        break;
      }
    }
  }
  ScopedLock flags(flagsLock_);
  if (draining_) {
    draining_ = false;
    return ok;
  }
  // A pause arrived meanwhile: the buffer stops here.
  return buffer->Stop() == kDsOk;
}

bool DirectSoundOutput::SetVolume(double volume) {
  std::shared_ptr<DsBuffer> buffer = Buffer();
  {
    ScopedLock lock(deviceLock_);
    volume_ = volume;
  }
  return buffer && buffer->SetVolume(VolumeToCentibels(volume)) == kDsOk;
}

bool DirectSoundOutput::SetBalance(double balance) {
  std::shared_ptr<DsBuffer> buffer = Buffer();
  {
    ScopedLock lock(deviceLock_);
    balance_ = balance;
  }
  return buffer && buffer->SetPan(BalanceToPan(balance)) == kDsOk;
}

bool DirectSoundOutput::Write(const void* data, uint32_t count) {
  std::shared_ptr<DsBuffer> buffer = Buffer();
  if (!buffer || (!data && count > 0)) return false;
  if (count == 0) return true;
  if (count > buffer->Size()) return false;
  if (!WriteAtCursor(*buffer, data, count)) return false;
  ScopedLock flags(flagsLock_);
  if (!playOnWrite_) return true;
  // Started once it holds most of its length: started with a single packet, it would play on
  // into its silence before the next writes arrive.
  if (FreeSpace() > buffer->Size() / 4) return true;
  playOnWrite_ = false;
  return DsCommandThread::Instance().Run([buffer] { return buffer->Play(0, 0, kDsPlayLooping); }) ==
         kDsOk;
}

bool DirectSoundOutput::WriteAtCursor(DsBuffer& buffer, const void* data, uint32_t count) {
  ScopedLock lock(cursorLock_);
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (!LockRegion(buffer, writeCursor_, count, 0, &p1, &n1, &p2, &n2)) return false;
  std::memcpy(p1, data, n1);
  if (p2 && n2) std::memcpy(p2, static_cast<const uint8_t*>(data) + n1, n2);
  buffer.Unlock(p1, n1, p2, n2);
  writeCursor_ = (writeCursor_ + n1 + n2) % buffer.Size();
  return true;
}

void DirectSoundOutput::LoadDeviceSettings(MPreferenceStore* section) {
  bool enabled = false;
  ScopedLock lock(deviceLock_);
  if (section->GetBool(u"enablefloatingpoint", &enabled) == 0) {
    enableFloat_ = enabled;
  } else {
    section->PrepBool(u"enablefloatingpoint", enableFloat_);
  }
}

void DirectSoundOutput::SaveDeviceSettings(MPreferenceStore* section) {
  ScopedLock lock(deviceLock_);
  section->SetBool(u"enablefloatingpoint", enableFloat_);
}

}  // namespace vk2
