// The PulseAudio back end (PipeWire serves the same protocol): one asynchronous playback stream
// on the sink's own threaded main loop. The played position is the server's interpolated stream
// time, so it follows what is heard, not what was sent.
#pragma once

#include <memory>

#include "platform/audio/sink/pcm_sink.h"
#include "platform/audio/sink/pulse_loop.h"

namespace vk2 {

class PulseSink final : public PcmSink {
 public:
  PulseSink() = default;
  ~PulseSink() override;

  const char* BackendName() const override { return "pulse"; }
  bool Enumerate(std::vector<SinkDevice>& devices) override;
  bool Open(const std::string& deviceId, const PcmFormat& format, uint32_t bufferMillis) override;
  void Close() override;
  bool IsOpen() const override { return stream_ != nullptr; }
  bool HasFailed() override;
  const PcmFormat& Format() const override { return format_; }
  size_t WritableBytes() override;
  int64_t Write(const void* data, size_t bytes) override;
  bool WaitWritable(uint32_t timeoutMillis) override;
  uint64_t FramesWritten() override;
  uint64_t FramesPlayed() override;
  bool Pause(bool paused) override;
  bool IsPaused() const override { return paused_; }
  bool Flush() override;
  bool Drain(uint32_t timeoutMillis) override;
  std::string LastError() const override { return lastError_; }
  bool RefusedFormat() const override { return refusedFormat_; }

  // The server's name of the sink the stream plays to (for tests that record its monitor).
  std::string ConnectedSinkName();

 private:
  bool StreamGoodLocked() const;
  uint64_t PlayedLocked();
  bool StreamFramesLocked(uint64_t& frames);
  // Makes the stream time from now on count from the current played position.
  void RebaseLocked();
  // Bytes Write may take now.
  size_t RoomLocked();
  void Fail(const std::string& what);
  static void OnUnderflow(pa_stream* stream, void* self);
  // The buffer lengths asked of the server for a latency of `bufferMillis`.
  static pa_buffer_attr BufferAttributes(const PcmFormat& format, uint32_t bufferMillis);

  std::unique_ptr<PulseLoop> loop_;
  PulseLoop* underflowLoop_ = nullptr;  // the loop while Open is still setting up
  pa_stream* stream_ = nullptr;
  PcmFormat format_;
  bool paused_ = false;
  uint64_t framesWritten_ = 0;
  uint64_t framesPlayed_ = 0;
  int64_t timeOffsetFrames_ = 0;  // stream time that pauses and flushes left behind
  int64_t writeIndexBytes_ = 0;   // the server's write index, mirrored
  uint64_t bufferBytes_ = 0;      // the buffer length the server granted
  struct timeval resumedAt_ {};   // the last open, resume or flush (wall clock, as timing is)
  std::string lastError_;
  bool refusedFormat_ = false;
};

}  // namespace vk2
