// The one thing the output devices play into: a stream of interleaved PCM on a sound back end.
//
// A sink is opened once with a format and a buffer length; the caller writes whatever
// WritableBytes allows (Write never blocks), reads back how much has really been heard
// (FramesPlayed), and pauses, flushes, drains or closes it. The owner serialises its calls (the
// device stand-ins call it under their own lock); back-end threads and callbacks inside lock
// for themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/sink/pcm_format.h"

namespace vk2 {

// One place a sink can play to. `id` is what Open takes; `description` is for people.
struct SinkDevice {
  std::string id;
  std::string description;
};

// The id every back end lists first: the system's current default output.
inline constexpr const char* kDefaultSinkDevice = "default";

class PcmSink {
 public:
  virtual ~PcmSink() = default;

  // "pulse", "alsa" or "capture".
  virtual const char* BackendName() const = 0;
  // The devices in the back end's order, the default device first (id kDefaultSinkDevice).
  // False when the back end cannot be reached.
  virtual bool Enumerate(std::vector<SinkDevice>& devices) = 0;

  // Opens a stream on `deviceId` (empty: the default). `bufferMillis` is the latency asked for;
  // the back end may round it. The stream starts running (not paused).
  virtual bool Open(const std::string& deviceId, const PcmFormat& format,
                    uint32_t bufferMillis) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // True once the stream has failed for good (the server or device went away); only Close and
  // a new Open help then.
  virtual bool HasFailed() = 0;
  virtual const PcmFormat& Format() const = 0;

  // Bytes (whole frames) Write takes now. 0 when closed or failed.
  virtual size_t WritableBytes() = 0;
  // Takes up to `bytes` (rounded down to whole frames) and answers how many it took; never
  // blocks. -1 when the stream has failed (the server went away).
  virtual int64_t Write(const void* data, size_t bytes) = 0;
  // Waits up to `timeoutMillis` for room to write, for a pause, flush or close elsewhere.
  // True when there is room.
  virtual bool WaitWritable(uint32_t timeoutMillis) = 0;

  // Frames accepted since Open, less those dropped by Flush.
  virtual uint64_t FramesWritten() = 0;
  // Frames heard since Open: monotonic, never above FramesWritten.
  virtual uint64_t FramesPlayed() = 0;

  // Holds playback where it is (true) or lets it go on (false); what is queued stays.
  virtual bool Pause(bool paused) = 0;
  virtual bool IsPaused() const = 0;
  // Drops everything queued and not yet heard.
  virtual bool Flush() = 0;
  // Waits until everything written has been heard, at most `timeoutMillis`. False on time-out
  // or failure. A paused stream is not drained.
  virtual bool Drain(uint32_t timeoutMillis) = 0;

  // The reason for the last failure, for the console.
  virtual std::string LastError() const = 0;
  // After a failed Open: true when the device was reached and refused the format (another
  // format may still open), false when the device or its server could not be reached at all.
  virtual bool RefusedFormat() const = 0;
};

// The back ends by name.
enum class SinkBackend { kAuto, kPulse, kAlsa, kCapture };

// "pulse", "alsa", "capture"; "" or "auto" for kAuto. Anything else: false.
bool ParseSinkBackend(const std::string& name, SinkBackend& backend);

// Which back end to use: VK2_AUDIO_BACKEND when set, else `setting`, else PulseAudio when a
// server answers, else ALSA.
SinkBackend ChooseSinkBackend(SinkBackend setting = SinkBackend::kAuto);

// A new, closed sink on the chosen back end.
std::unique_ptr<PcmSink> CreatePcmSink(SinkBackend setting = SinkBackend::kAuto);

// The user's stored choice: the string value "backend" under HKEY_CURRENT_USER
// "Software\\Velkora2\\Sound" of the registry file; kAuto when it is missing or unknown.
SinkBackend ConfiguredSinkBackend();

// Makes the sinks a device stand-in plays into; the default is
// CreatePcmSink(ConfiguredSinkBackend()), read when each sink is made.
using PcmSinkFactory = std::function<std::unique_ptr<PcmSink>()>;
PcmSinkFactory DefaultPcmSinkFactory();

// True when a PulseAudio (or PipeWire) server accepts a connection within `timeoutMillis`.
bool PulseServerAnswers(uint32_t timeoutMillis = 1000);

}  // namespace vk2
