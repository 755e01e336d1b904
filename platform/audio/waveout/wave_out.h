// The waveOut stand-in: a device that plays queued headers in order into a PCM sink from its
// own thread, marks each one done once it has been heard, and calls the owner back then.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/audio/sink/pcm_gain.h"
#include "platform/audio/sink/pcm_sink.h"
#include "platform/audio/wave_format.h"
#include "platform/audio/waveout/wave_out_types.h"
#include "platform/thread.h"

namespace vk2 {

struct WaveOutOptions {
  PcmSinkFactory sinkFactory;  // empty: DefaultPcmSinkFactory()
  // Latency asked of the sink; 0: kFullSinkMillis. It stays as opened: a PulseAudio stream
  // whose buffer changes while it plays shifts the sound by a few frames at that point. The
  // device thread feeds the sink four times per length, so a long one wakes the process less
  // often; volume changes are heard after what it holds.
  uint32_t sinkMillis = 0;
  // False: no device thread; the owner calls Pump (tests do, on a virtual clock).
  bool startThread = true;
  // The device thread's priority (time critical for a real-time audio setting); best effort.
  ThreadPriority threadPriority = ThreadPriority::kNormal;
};

class WaveOut {
 public:
  static constexpr uint32_t kFullSinkMillis = 250;
  // Runs on the device thread (or in Reset's caller) after headers were marked done, outside
  // the device's lock. Typically sets the owner's completion event. It must not destroy the
  // device.
  using DoneCallback = std::function<void()>;

  // Devices are the sink's list in order (the default device is 0). Enumerate gives the whole
  // list in one call; the device number is the index in it.
  static bool Enumerate(std::vector<SinkDevice>& devices, const PcmSinkFactory& factory = {});
  static uint32_t GetNumDevs(const PcmSinkFactory& factory = {});
  static int32_t GetDevCaps(uint32_t deviceId, WaveOutCaps* caps,
                            const PcmSinkFactory& factory = {});
  // With kWaveFormatQuery only answers whether the format would open (`out` stays empty).
  static int32_t Open(std::unique_ptr<WaveOut>& out, uint32_t deviceId, const WaveFormat& format,
                      DoneCallback onDone, uint32_t flags, WaveOutOptions options = {});
  WaveOut(const WaveOut&) = delete;
  WaveOut& operator=(const WaveOut&) = delete;
  // Resets first, so no header is read after the device is gone.
  ~WaveOut();

  int32_t PrepareHeader(WaveHeader* header);
  int32_t UnprepareHeader(WaveHeader* header);
  int32_t Write(WaveHeader* header);
  int32_t Pause();
  int32_t Restart();
  // Stops, marks every queued header done and sets the position to 0. A paused device stays
  // paused. After it returns the device reads none of the headers.
  int32_t Reset();
  // Bytes heard since Open or the last Reset.
  int32_t GetPosition(uint64_t* bytes);
  // Left level in the low 16 bits, right in the high 16 bits; 0xFFFF is full level.
  int32_t SetVolume(uint32_t levels);
  int32_t GetVolume(uint32_t* levels);
  // kWaveErrStillPlaying while headers are queued; otherwise stops the thread and the sink.
  int32_t Close();

  // Changes the device thread's priority; best effort, false when refused or without a thread.
  bool SetThreadPriority(ThreadPriority priority);

  // One pass of the device thread: completes heard headers and feeds the sink. When the sink
  // has failed, every queued header is handed back done and later writes fail, so no caller
  // waits for a block that will never play.
  void Pump();
  PcmSink& Sink() { return *sink_; }
  const PcmFormat& Format() const { return pcm_; }

 private:
  WaveOut(std::unique_ptr<PcmSink> sink, const PcmFormat& pcm, DoneCallback onDone,
          const WaveOutOptions& options, uint32_t sinkMillis);
  uint64_t PlayedBytesLocked();
  size_t CompleteLocked();
  size_t ReturnAllLocked();
  void FeedLocked();
  void ThreadLoop();

  struct Queued {
    WaveHeader* header;
    uint32_t handed = 0;  // bytes of it given to the staging area
    uint64_t endPos = 0;  // stream position of its end, once all handed
  };

  WaveOutOptions options_;
  std::unique_ptr<PcmSink> sink_;
  uint32_t sinkMillis_;
  PcmFormat pcm_;
  DoneCallback onDone_;

  std::mutex mutex_;
  std::condition_variable wake_;
  Thread thread_;
  bool stop_ = false;
  bool closed_ = false;
  bool failed_ = false;  // the sink went away: queued headers were handed back
  bool paused_ = false;
  std::deque<Queued> queue_;
  size_t nextToHand_ = 0;         // index in queue_ of the first header not fully handed
  std::vector<uint8_t> staging_;  // copied from headers, not yet taken by the sink
  std::vector<uint8_t> scaled_;
  uint64_t handedTotal_ = 0;    // bytes copied out of headers since Open or Reset
  uint64_t sinkBaseBytes_ = 0;  // sink's played bytes at Open or Reset
  uint32_t volume_ = 0xFFFFFFFFu;
  ChannelGains gains_;
};

}  // namespace vk2
