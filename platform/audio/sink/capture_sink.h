// A sink that plays into memory and, optionally, a WAVE file, at the pace of a Clock.
//
// It behaves like a device with a buffer of the asked length: Write fills the buffer, the clock
// plays it out at the sample rate, and what has been played is what is captured (data flushed
// before it was heard never reaches the capture). With a FakeClock, tests decide when time
// passes.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/audio/sink/pcm_sink.h"
#include "platform/audio/sink/wav_file_writer.h"
#include "platform/clock.h"

namespace vk2 {

struct CaptureSinkOptions {
  // Shared so that a test can keep advancing the clock the sink runs on. Null: the process's
  // current clock (CurrentClock()).
  std::shared_ptr<Clock> clock;
  // Devices offered besides the default one (ids "capture1", "capture2", ... in this order).
  std::vector<std::string> extraDeviceDescriptions;
  std::string wavPath;  // empty: no file
  bool keepInMemory = true;
};

class CaptureSink final : public PcmSink {
 public:
  explicit CaptureSink(CaptureSinkOptions options = {});
  // Options from the environment: VK2_AUDIO_CAPTURE_FILE (WAVE file to write, started anew by
  // every Open),
  // VK2_AUDIO_CAPTURE_SPEED (real-time clock speed factor), VK2_AUDIO_CAPTURE_DEVICES
  // (descriptions of extra devices separated by ';').
  static CaptureSinkOptions OptionsFromEnvironment();
  ~CaptureSink() override;

  const char* BackendName() const override { return "capture"; }
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

  // What has been heard so far, as bytes of the open (or last open) format.
  std::vector<uint8_t> Captured();
  size_t BufferBytes() const;
  std::string OpenedDevice() const;
  // Makes every later Write fail, as a lost server would.
  void SetFailed(bool failed);
  // Wakes WaitWritable and Drain after the test moved a virtual clock.
  void Poke();

 private:
  void AdvanceLocked();
  uint64_t NowMicros();
  size_t QueuedBytesLocked() const { return queue_.size(); }

  CaptureSinkOptions options_;
  Clock* clock_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  PcmFormat format_;
  bool open_ = false;
  bool paused_ = false;
  bool failed_ = false;
  std::string device_;
  std::string lastError_;
  bool refusedFormat_ = false;
  size_t capacity_ = 0;
  std::deque<uint8_t> queue_;
  std::vector<uint8_t> captured_;
  WavFileWriter wav_;
  uint64_t framesWritten_ = 0;
  uint64_t framesPlayed_ = 0;
  uint64_t lastMicros_ = 0;
  uint64_t remainder_ = 0;  // frame fractions, in frames x 1e6
};

}  // namespace vk2
