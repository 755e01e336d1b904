// `waveOutOutput`, the output device of vk2_audio_waveout: a ring of 4096-byte blocks queued on
// the waveOut stand-in as each fills, with completion signalled through an event. Write waits
// by itself for a free block, so the endpoint never sleeps between passes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/outputs/common/output_device_base.h"
#include "platform/audio/waveout/wave_out.h"
#include "platform/critical_section.h"
#include "platform/event.h"

namespace vk2 {

// Entries of the "waveOutOutput" error table.
enum WaveOutError : uint32_t {
  kWaveOutNotInitialized = 0,
  kWaveOutPlayFailed = 1,
  kWaveOutStopFailed = 2,
  kWaveOutBufferTooSmall = 3,
};
int32_t WaveOutOutputError(WaveOutError entry);

class WaveOutOutput final : public OutputDeviceBase {
 public:
  static constexpr uint32_t kBlockBytes = 4096;

  explicit WaveOutOutput(PcmSinkFactory sinks = DefaultPcmSinkFactory(),
                         WaveOutOptions options = {});

  int32_t CanOpen(AudioFormat* format) override;
  bool NoPollDelay() override { return true; }
  bool Open(AudioFormat* format, double bufferSeconds) override;
  void Close() override;
  bool ChangeFormat(AudioFormat* format) override;
  uint32_t BufferSize() override;
  bool Play() override;
  bool Pause() override;
  bool Flush() override;
  bool Drain(Event* wake) override;
  uint32_t FreeSpace() override;
  bool SetVolume(double volume) override;
  bool SetBalance(double balance) override;
  bool Write(const void* data, uint32_t count) override;

  // Both channels' levels as the device takes them (left low, right high): balance -1 leaves
  // the left channel alone, +1 the right one.
  static uint32_t Levels(double volume, double balance);
  // Blocks for `millis` of `pcm`: the byte count rounded to the nearest block.
  static uint32_t BlocksFor(const PcmFormat& pcm, uint64_t millis);

  // For tests: the sink the open device plays into, or null.
  PcmSink* SinkForTesting();

 private:
  struct Block {
    std::vector<uint8_t> data;
    WaveHeader header;
    uint32_t fill = 0;
  };

  ~WaveOutOutput() override;

  bool Acceptable(AudioFormat* format, PcmFormat& pcm);
  // Opens the device for `pcm` with the current buffer length, paused. False on failure (with
  // a console line for the table's failures).
  bool OpenDevice(const PcmFormat& pcm);
  void CloseDevice();
  // Under the device lock: blocks the device has played are taken back.
  bool ReclaimDoneLocked();
  // Under the device lock: queues the current block, full or padded with silence.
  bool QueueCurrentLocked();
  uint32_t FreeSpaceLocked();
  // Copies from `in` into the ring from the current block on, queueing each block it fills,
  // until a block is still queued; false when queueing fails.
  bool PlaceLocked(const uint8_t*& in, size_t& count);
  bool PlaceHeldLocked();

  PcmSinkFactory sinks_;
  WaveOutOptions options_;
  Event done_;  // a block was played (auto-reset)
  // Lock order: flags, then the base's device lock (the device, the blocks, the counts and the
  // open format).
  CriticalSection flagsLock_;  // the hold mark
  std::unique_ptr<WaveOut> device_;
  std::vector<Block> blocks_;
  size_t current_ = 0;
  uint64_t queued_ = 0;  // bytes queued since the open or the last reset
  uint32_t bufferMillis_ = 0;
  bool paused_ = true;
  // Bytes Write took while the device was paused and every block was still queued.
  std::vector<uint8_t> held_;
  // Set by Flush, Drain and ChangeFormat while they work: Play does nothing and Pause only
  // clears it.
  bool hold_ = false;
  bool changing_ = false;
  bool pausedDuringChange_ = false;
  double volume_ = 1.0;
  double balance_ = 0.0;
};

}  // namespace vk2
