// The DirectSound stand-in's sound buffer: a looping buffer in memory with a play cursor and a
// write cursor, fed into a PCM sink by its own drain thread.
//
// The drain thread hands the sink what lies at the write cursor (the point up to which data is
// committed) and moves that cursor on; the play cursor trails it by what the sink holds but has
// not played. Lock hands out copies of the regions (one or two pieces across the wrap) and
// Unlock copies them back, so the drain thread never reads memory the caller is writing.
#pragma once

#include <condition_variable>
#include <list>
#include <mutex>
#include <vector>

#include "platform/audio/dsound/ds_types.h"
#include "platform/audio/sink/pcm_gain.h"
#include "platform/audio/sink/pcm_sink.h"
#include "platform/thread.h"

namespace vk2 {

struct DsBufferOptions {
  std::string deviceId;  // sink device; empty: the default
  // Latency asked of the sink; 0: a quarter of the buffer, between 20 and 250 ms. It stays as
  // opened: a PulseAudio stream whose buffer changes while it plays shifts the sound by a few
  // frames at that point.
  uint32_t sinkMillis = 0;
  // False: no drain thread; the owner calls Pump (tests do, on a virtual clock).
  bool startThread = true;
  // The drain thread's priority (time critical for a real-time audio setting); best effort.
  ThreadPriority threadPriority = ThreadPriority::kNormal;
};

class DsBuffer {
 public:
  // Validates the description, opens the sink (paused) and starts the drain thread.
  static int32_t Create(const DsBufferDesc& desc, std::unique_ptr<PcmSink> sink,
                        const DsBufferOptions& options, std::unique_ptr<DsBuffer>& out);
  DsBuffer(const DsBuffer&) = delete;
  DsBuffer& operator=(const DsBuffer&) = delete;
  ~DsBuffer();

  // Regions of `bytes` from `offset` (or from the write cursor, or the whole buffer): the first
  // up to the end of the buffer, the second from its start when the region wraps (else null, 0).
  int32_t Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
               uint32_t* bytes2, uint32_t flags);
  // Gives back regions from Lock; `bytes1`/`bytes2` say how much of each was written.
  int32_t Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2);

  int32_t Play(uint32_t reserved1, uint32_t priority, uint32_t flags);
  int32_t Stop();
  int32_t GetStatus(uint32_t* status);
  // Either pointer may be null.
  int32_t GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor);
  // Moves playback to `offset`, dropping what the sink holds.
  int32_t SetCurrentPosition(uint32_t offset);
  // Changes the format the bytes are read in: the sink reopens, the size is kept (rounded down
  // to the new block size), the contents become silence and both cursors go to 0. Refused while
  // a region is locked.
  int32_t SetFormat(const WaveFormat& format);
  int32_t GetFormat(WaveFormat* format);
  int32_t SetVolume(int32_t centibels);
  int32_t GetVolume(int32_t* centibels);
  int32_t SetPan(int32_t pan);
  int32_t GetPan(int32_t* pan);
  // Reopens the sink after the buffer was lost (kDsStatusBufferLost).
  int32_t Restore();

  uint32_t Size();
  // Changes the drain thread's priority; best effort, false when refused or without a thread.
  bool SetThreadPriority(ThreadPriority priority);
  // One pass of the drain thread: moves what the sink takes. Answers the bytes moved.
  size_t Pump();
  // The sink, for tests that watch it.
  PcmSink& Sink() { return *sink_; }

 private:
  DsBuffer(const DsBufferDesc& desc, std::unique_ptr<PcmSink> sink, const DsBufferOptions& options);
  int32_t OpenSinkLocked();
  uint32_t QueuedInSinkLocked();
  void UpdateGainsLocked();
  void DrainLoop();

  struct LockedRegion {
    uint32_t offset;
    uint32_t bytes;
    std::vector<uint8_t> copy;
  };

  DsBufferOptions options_;
  uint32_t sinkMillis_ = 0;  // the latency the sink was opened with
  std::mutex mutex_;
  std::condition_variable wake_;
  Thread drainThread_;
  bool stopThread_ = false;

  std::unique_ptr<PcmSink> sink_;
  WaveFormat format_;
  PcmFormat pcm_;
  uint32_t flags_;
  std::vector<uint8_t> data_;
  std::list<LockedRegion> locks_;
  uint32_t writeCursor_ = 0;  // next byte the drain hands to the sink
  bool playing_ = false;
  bool looping_ = false;
  bool lost_ = false;
  bool endReached_ = false;  // a one-shot play has handed over the last byte
  int32_t volume_ = 0;
  int32_t pan_ = 0;
  ChannelGains gains_;
  std::vector<uint8_t> scratch_;
};

}  // namespace vk2
