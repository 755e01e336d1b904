// An output device: the thin layer between the generic endpoint and one platform sound
// service. The endpoint never sees the platform; the device never sees packets or chains.
//
// Calling order by the endpoint: CanOpen and FormatScore while connecting; Open, SetVolume,
// SetBalance, BufferSize when its playback thread starts; FreeSpace and Write in every pass;
// FormatDiffers per packet and ChangeFormat on a difference; Play, Pause, Flush, Drain on state
// changes, seeks and the end of a stream; Close when the thread ends. The endpoint calls from
// its owner thread and its playback thread; each device locks its own state.
//
// Every format operation tests the type first: a format that is not kFormatPcm cannot be
// opened, scores (rate + 1) * bits all the same, and always differs.
#pragma once

#include <cstdint>

#include "interfaces/audio/audio_format.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {

class Event;

// QueryInterface answers kIID_AudioEndpoint with the device itself (a device library's class
// hands out an endpoint under that id); nothing relies on it.
class MOutputDevice : public MModuleProperties {
 public:
  // Positive when the device can open `format`, 0 when not, negative on a device failure.
  virtual int32_t CanOpen(AudioFormat* format) = 0;
  // (sample rate + 1) * bits per sample; the endpoint prefers the greatest.
  virtual uint32_t FormatScore(AudioFormat* format) = 0;
  // True when Write waits by itself for room: the endpoint then never sleeps between passes.
  virtual bool NoPollDelay() = 0;
  virtual bool Open(AudioFormat* format, double bufferSeconds) = 0;
  virtual void Close() = 0;
  // Non-zero when `format` is not PCM or differs from the open one.
  virtual int32_t FormatDiffers(AudioFormat* format) = 0;
  // Plays out what is queued, then continues in the new format.
  virtual bool ChangeFormat(AudioFormat* format) = 0;
  // Of the open format.
  virtual uint32_t Channels() = 0;
  virtual uint32_t SampleRate() = 0;
  virtual uint32_t BytesPerSecond() = 0;
  // The device buffer in bytes.
  virtual uint32_t BufferSize() = 0;
  virtual bool Play() = 0;
  virtual bool Pause() = 0;
  // Discards what is queued.
  virtual bool Flush() = 0;
  // Returns once what was written has been played. A device that waits also wakes on `wake`
  // (the endpoint's, set by its Stop), which cuts the drain short.
  virtual bool Drain(Event* wake) = 0;
  // Bytes that can be written now.
  virtual uint32_t FreeSpace() = 0;
  virtual bool SetVolume(double volume) = 0;    // [0, 1]
  virtual bool SetBalance(double balance) = 0;  // [-1, 1]: -1 left alone, +1 right alone
  virtual bool Write(const void* data, uint32_t count) = 0;

 protected:
  ~MOutputDevice() = default;
};

}  // namespace vk2
