// The ALSA back end: Write fills a ring of the asked length, and a feeder thread moves it into
// the PCM device as the device makes room. The played position is what was handed to the device
// less the device's own delay.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/audio/sink/pcm_sink.h"

typedef struct _snd_pcm snd_pcm_t;

namespace vk2 {

class AlsaSink final : public PcmSink {
 public:
  AlsaSink() = default;
  ~AlsaSink() override;

  const char* BackendName() const override { return "alsa"; }
  bool Enumerate(std::vector<SinkDevice>& devices) override;
  bool Open(const std::string& deviceId, const PcmFormat& format, uint32_t bufferMillis) override;
  void Close() override;
  bool IsOpen() const override;
  bool HasFailed() override;
  const PcmFormat& Format() const override { return format_; }
  size_t WritableBytes() override;
  int64_t Write(const void* data, size_t bytes) override;
  bool WaitWritable(uint32_t timeoutMillis) override;
  uint64_t FramesWritten() override;
  uint64_t FramesPlayed() override;
  bool Pause(bool paused) override;
  bool IsPaused() const override;
  bool Flush() override;
  bool Drain(uint32_t timeoutMillis) override;
  std::string LastError() const override;
  bool RefusedFormat() const override;

 private:
  bool Configure(uint32_t bufferMillis);
  void Feed();
  // Moves one piece from the ring into the device; false when the feeder should stop.
  bool FeedOnce(std::unique_lock<std::mutex>& lock);
  uint64_t PlayedLocked();
  // Brings the device back after an underrun or a suspend; false on a lasting failure.
  bool RecoverLocked(int error);

  snd_pcm_t* pcm_ = nullptr;
  PcmFormat format_;
  bool canPause_ = false;
  uint64_t periodFrames_ = 0;

  // Guards everything below and every call on pcm_ made outside the feeder's waits.
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::thread feeder_;
  std::vector<uint8_t> ring_;
  size_t ringHead_ = 0;  // next byte to hand over
  size_t ringUsed_ = 0;
  bool open_ = false;
  bool stop_ = false;
  bool paused_ = false;
  bool failed_ = false;
  uint64_t framesWritten_ = 0;  // accepted into the ring, less what Flush dropped
  uint64_t framesHanded_ = 0;   // given to the device, less what Flush dropped there
  uint64_t framesPlayed_ = 0;
  std::string lastError_;
  bool refusedFormat_ = false;  // guarded by mutex_
};

}  // namespace vk2
