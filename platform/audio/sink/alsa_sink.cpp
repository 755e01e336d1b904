#include "platform/audio/sink/alsa_sink.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vk2 {

namespace {

constexpr uint32_t kMaxDeviceBufferMillis = 100;
constexpr int kWaitMillis = 50;
constexpr const char* kDefaultDescription = "Default device";

bool ToAlsaFormat(const PcmFormat& f, snd_pcm_format_t& out) {
  if (f.isFloat) {
    out = SND_PCM_FORMAT_FLOAT_LE;
    return f.bitsPerSample == 32;
  }
  switch (f.bitsPerSample) {
    case 8:
      out = SND_PCM_FORMAT_U8;
      return true;
    case 16:
      out = SND_PCM_FORMAT_S16_LE;
      return true;
    case 24:
      out = SND_PCM_FORMAT_S24_3LE;
      return true;
    case 32:
      out = SND_PCM_FORMAT_S32_LE;
      return true;
    default:
      return false;
  }
}

void QuietAlsaLog(const char*, int, const char*, int, const char*, ...) {}

// alsa-lib prints its own complaints to stderr; failures reach the caller through LastError.
void SilenceAlsaLog() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(&QuietAlsaLog); });
}

std::string OneLine(const char* text) {
  std::string s = text ? text : "";
  for (size_t i = 0; (i = s.find('\n', i)) != std::string::npos;)
    s.replace(i, 1, ", ");
  return s;
}

}  // namespace

AlsaSink::~AlsaSink() {
  Close();
}

bool AlsaSink::Enumerate(std::vector<SinkDevice>& devices) {
  SilenceAlsaLog();
  devices.clear();
  devices.push_back({kDefaultSinkDevice, kDefaultDescription});
  void** hints = nullptr;
  if (snd_device_name_hint(-1, "pcm", &hints) < 0 || !hints) {
    std::lock_guard lock(mutex_);
    lastError_ = "ALSA lists no PCM devices";
    return false;
  }
  for (void** h = hints; *h; ++h) {
    char* name = snd_device_name_get_hint(*h, "NAME");
    char* desc = snd_device_name_get_hint(*h, "DESC");
    char* io = snd_device_name_get_hint(*h, "IOID");
    // No IOID means the device does both directions.
    const bool output = !io || std::strcmp(io, "Output") == 0;
    if (name && output && std::strcmp(name, kDefaultSinkDevice) != 0) {
      devices.push_back({name, desc ? OneLine(desc) : std::string(name)});
    }
    std::free(name);
    std::free(desc);
    std::free(io);
  }
  snd_device_name_free_hint(hints);
  return true;
}

bool AlsaSink::Open(const std::string& deviceId, const PcmFormat& format, uint32_t bufferMillis) {
  Close();
  SilenceAlsaLog();
  snd_pcm_format_t alsaFormat = SND_PCM_FORMAT_UNKNOWN;
  if (!IsValidPcmFormat(format) || !ToAlsaFormat(format, alsaFormat)) {
    std::lock_guard lock(mutex_);
    lastError_ = "unsupported format " + DescribePcmFormat(format);
    refusedFormat_ = true;
    return false;
  }
  const std::string name = deviceId.empty() ? kDefaultSinkDevice : deviceId;
  // Opened without blocking, so a busy device fails at once instead of waiting for its owner.
  int err = snd_pcm_open(&pcm_, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
  if (err < 0) {
    pcm_ = nullptr;
    std::lock_guard lock(mutex_);
    lastError_ = "cannot open ALSA device " + name + ": " + snd_strerror(err);
    refusedFormat_ = false;
    return false;
  }
  format_ = format;
  if (!Configure(bufferMillis)) {
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
    // The device answered; it does not take these parameters.
    std::lock_guard lock(mutex_);
    refusedFormat_ = true;
    return false;
  }
  std::lock_guard lock(mutex_);
  const uint64_t frames =
      std::max<uint64_t>(uint64_t{format.sampleRate} * bufferMillis / 1000, periodFrames_);
  ring_.assign(static_cast<size_t>(frames * format.BlockAlign()), 0);
  ringHead_ = ringUsed_ = 0;
  framesWritten_ = framesHanded_ = framesPlayed_ = 0;
  stop_ = paused_ = failed_ = false;
  open_ = true;
  feeder_ = std::thread([this] { Feed(); });
  return true;
}

bool AlsaSink::Configure(uint32_t bufferMillis) {
  snd_pcm_hw_params_t* hw;
  snd_pcm_hw_params_alloca(&hw);
  snd_pcm_format_t alsaFormat = SND_PCM_FORMAT_UNKNOWN;
  ToAlsaFormat(format_, alsaFormat);
  unsigned rate = format_.sampleRate;
  unsigned bufferMicros = std::clamp<uint32_t>(bufferMillis, 20, kMaxDeviceBufferMillis) * 1000;
  unsigned periodMicros = bufferMicros / 4;
  int err = snd_pcm_hw_params_any(pcm_, hw);
  const char* step = "hardware parameters";
  if (err >= 0) err = snd_pcm_hw_params_set_rate_resample(pcm_, hw, 1);
  if (err >= 0 && (step = "interleaved access", true))
    err = snd_pcm_hw_params_set_access(pcm_, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
  if (err >= 0 && (step = "sample format", true))
    err = snd_pcm_hw_params_set_format(pcm_, hw, alsaFormat);
  if (err >= 0 && (step = "channel count", true))
    err = snd_pcm_hw_params_set_channels(pcm_, hw, format_.channels);
  if (err >= 0 && (step = "sample rate", true)) err = snd_pcm_hw_params_set_rate(pcm_, hw, rate, 0);
  if (err >= 0 && (step = "buffer time", true))
    err = snd_pcm_hw_params_set_buffer_time_near(pcm_, hw, &bufferMicros, nullptr);
  if (err >= 0 && (step = "period time", true))
    err = snd_pcm_hw_params_set_period_time_near(pcm_, hw, &periodMicros, nullptr);
  if (err >= 0 && (step = "hardware parameters", true)) err = snd_pcm_hw_params(pcm_, hw);
  snd_pcm_uframes_t period = 0;
  if (err >= 0) err = snd_pcm_hw_params_get_period_size(hw, &period, nullptr);
  if (err < 0) {
    std::lock_guard lock(mutex_);
    lastError_ = std::string("ALSA refused the ") + step + " for " + DescribePcmFormat(format_) +
                 ": " + snd_strerror(err);
    return false;
  }
  canPause_ = snd_pcm_hw_params_can_pause(hw) != 0;
  periodFrames_ = std::max<snd_pcm_uframes_t>(period, 1);

  snd_pcm_sw_params_t* sw;
  snd_pcm_sw_params_alloca(&sw);
  err = snd_pcm_sw_params_current(pcm_, sw);
  // Start with the first period, so a short sound is heard without a drain.
  if (err >= 0) err = snd_pcm_sw_params_set_start_threshold(pcm_, sw, period);
  if (err >= 0) err = snd_pcm_sw_params_set_avail_min(pcm_, sw, period);
  if (err >= 0) err = snd_pcm_sw_params(pcm_, sw);
  if (err < 0) {
    std::lock_guard lock(mutex_);
    lastError_ = std::string("ALSA refused the software parameters: ") + snd_strerror(err);
    return false;
  }
  return true;
}

void AlsaSink::Close() {
  {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    stop_ = true;
    changed_.notify_all();
  }
  if (feeder_.joinable()) feeder_.join();
  std::lock_guard lock(mutex_);
  snd_pcm_drop(pcm_);
  snd_pcm_close(pcm_);
  pcm_ = nullptr;
  open_ = false;
  ring_.clear();
  ringUsed_ = 0;
}

bool AlsaSink::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void AlsaSink::Feed() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    if (failed_ || paused_ || ringUsed_ == 0) {
      changed_.wait(lock);
      continue;
    }
    if (!FeedOnce(lock)) {
      failed_ = true;
      changed_.notify_all();
    }
  }
}

bool AlsaSink::FeedOnce(std::unique_lock<std::mutex>& lock) {
  const size_t align = format_.BlockAlign();
  snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm_);
  if (avail < 0) return RecoverLocked(static_cast<int>(avail));
  if (static_cast<uint64_t>(avail) < std::min<uint64_t>(periodFrames_, ringUsed_ / align)) {
    // Wait for the device outside the lock so writers and the clock readers go on.
    lock.unlock();
    const int r = snd_pcm_wait(pcm_, kWaitMillis);
    lock.lock();
    if (r < 0) return RecoverLocked(r);
    return true;
  }
  const size_t contiguous = std::min(ringUsed_, ring_.size() - ringHead_);
  const snd_pcm_uframes_t frames =
      std::min<snd_pcm_uframes_t>(contiguous / align, static_cast<snd_pcm_uframes_t>(avail));
  const snd_pcm_sframes_t n = snd_pcm_writei(pcm_, ring_.data() + ringHead_, frames);
  if (n == -EAGAIN) return true;
  if (n < 0) return RecoverLocked(static_cast<int>(n));
  const size_t bytes = static_cast<size_t>(n) * align;
  ringHead_ = (ringHead_ + bytes) % ring_.size();
  ringUsed_ -= bytes;
  framesHanded_ += static_cast<uint64_t>(n);
  // Less than the start threshold and nothing more to give: start anyway, or the last frames
  // would wait for a threshold that never comes.
  if (ringUsed_ == 0 && snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED) snd_pcm_start(pcm_);
  changed_.notify_all();
  return true;
}

bool AlsaSink::RecoverLocked(int error) {
  if (error == -EAGAIN) return true;
  const int r = snd_pcm_recover(pcm_, error, 1);
  if (r >= 0) return true;
  lastError_ = std::string("ALSA playback failed: ") + snd_strerror(error);
  return false;
}

bool AlsaSink::HasFailed() {
  std::lock_guard lock(mutex_);
  return open_ && failed_;
}

size_t AlsaSink::WritableBytes() {
  std::lock_guard lock(mutex_);
  if (!open_ || failed_) return 0;
  return (ring_.size() - ringUsed_) / format_.BlockAlign() * format_.BlockAlign();
}

int64_t AlsaSink::Write(const void* data, size_t bytes) {
  std::lock_guard lock(mutex_);
  if (!open_ || failed_) {
    if (!open_) lastError_ = "not open";
    return -1;
  }
  const size_t align = format_.BlockAlign();
  const size_t take = std::min(bytes, ring_.size() - ringUsed_) / align * align;
  const auto* p = static_cast<const uint8_t*>(data);
  size_t tail = (ringHead_ + ringUsed_) % ring_.size();
  for (size_t done = 0; done < take;) {
    const size_t piece = std::min(take - done, ring_.size() - tail);
    std::memcpy(ring_.data() + tail, p + done, piece);
    done += piece;
    tail = (tail + piece) % ring_.size();
  }
  ringUsed_ += take;
  framesWritten_ += take / align;
  if (take) changed_.notify_all();
  return static_cast<int64_t>(take);
}

bool AlsaSink::WaitWritable(uint32_t timeoutMillis) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMillis),
                           [&] {
                             return !open_ || failed_ ||
                                    ringUsed_ + format_.BlockAlign() <= ring_.size();
                           }) &&
         open_ && !failed_;
}

uint64_t AlsaSink::FramesWritten() {
  std::lock_guard lock(mutex_);
  return framesWritten_;
}

uint64_t AlsaSink::PlayedLocked() {
  if (!open_) return framesPlayed_;
  snd_pcm_sframes_t delay = 0;
  const snd_pcm_state_t state = snd_pcm_state(pcm_);
  if (state == SND_PCM_STATE_RUNNING || state == SND_PCM_STATE_PAUSED ||
      state == SND_PCM_STATE_DRAINING) {
    if (snd_pcm_delay(pcm_, &delay) < 0) delay = 0;
  } else if (state == SND_PCM_STATE_PREPARED) {
    // Not started yet: everything handed over is still waiting for the start threshold.
    delay = static_cast<snd_pcm_sframes_t>(framesHanded_ - std::min(framesHanded_, framesPlayed_));
  }
  delay = std::max<snd_pcm_sframes_t>(delay, 0);
  const uint64_t d = std::min<uint64_t>(static_cast<uint64_t>(delay), framesHanded_);
  framesPlayed_ = std::min(std::max(framesPlayed_, framesHanded_ - d), framesWritten_);
  return framesPlayed_;
}

uint64_t AlsaSink::FramesPlayed() {
  std::lock_guard lock(mutex_);
  return PlayedLocked();
}

bool AlsaSink::Pause(bool paused) {
  std::lock_guard lock(mutex_);
  if (!open_) return false;
  if (paused == paused_) return true;
  PlayedLocked();
  if (canPause_ && snd_pcm_state(pcm_) == (paused ? SND_PCM_STATE_RUNNING : SND_PCM_STATE_PAUSED)) {
    const int err = snd_pcm_pause(pcm_, paused ? 1 : 0);
    if (err < 0) {
      lastError_ = std::string("ALSA pause failed: ") + snd_strerror(err);
      return false;
    }
  }
  // A device that cannot pause plays out its small buffer; the feeder stops handing it more.
  paused_ = paused;
  changed_.notify_all();
  return true;
}

bool AlsaSink::IsPaused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

bool AlsaSink::Flush() {
  std::lock_guard lock(mutex_);
  if (!open_) return false;
  const uint64_t played = PlayedLocked();
  snd_pcm_drop(pcm_);
  const int err = snd_pcm_prepare(pcm_);
  framesHanded_ = played;
  framesWritten_ = played;
  ringUsed_ = 0;
  changed_.notify_all();
  if (err < 0) {
    lastError_ = std::string("ALSA could not restart after a flush: ") + snd_strerror(err);
    failed_ = true;
    return false;
  }
  // A paused sink stays paused: the prepared device gets nothing until Pause(false).
  return true;
}

bool AlsaSink::Drain(uint32_t timeoutMillis) {
  std::unique_lock lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMillis);
  for (;;) {
    if (!open_ || failed_ || paused_) return false;
    if (ringUsed_ == 0) {
      const snd_pcm_state_t state = snd_pcm_state(pcm_);
      if (state == SND_PCM_STATE_PREPARED && framesHanded_ > framesPlayed_) snd_pcm_start(pcm_);
      if (PlayedLocked() >= framesWritten_) return true;
      if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED) {
        // Played out and stopped by the underrun that the end of data is.
        framesPlayed_ = framesWritten_;
        return true;
      }
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    changed_.wait_for(lock, std::chrono::milliseconds(5));
  }
}

std::string AlsaSink::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

bool AlsaSink::RefusedFormat() const {
  std::lock_guard lock(mutex_);
  return refusedFormat_;
}

}  // namespace vk2
