#include "platform/audio/sink/pulse_sink.h"

#include <algorithm>

namespace vk2 {

namespace {

constexpr uint32_t kConnectMillis = 2000;
constexpr uint32_t kOperationMillis = 2000;
constexpr const char* kClientName = "Velkora2";
constexpr const char* kDefaultDescription = "Default device";

bool ToSampleFormat(const PcmFormat& f, pa_sample_format_t& out) {
  if (f.isFloat) {
    out = PA_SAMPLE_FLOAT32LE;
    return f.bitsPerSample == 32;
  }
  switch (f.bitsPerSample) {
    case 8:
      out = PA_SAMPLE_U8;
      return true;
    case 16:
      out = PA_SAMPLE_S16LE;
      return true;
    case 24:
      out = PA_SAMPLE_S24LE;
      return true;
    case 32:
      out = PA_SAMPLE_S32LE;
      return true;
    default:
      return false;
  }
}

void WakeOnStream(pa_stream*, void* loop) {
  static_cast<PulseLoop*>(loop)->Signal();
}
void WakeOnRequest(pa_stream*, size_t, void* loop) {
  static_cast<PulseLoop*>(loop)->Signal();
}

}  // namespace

PulseSink::~PulseSink() {
  Close();
}

bool PulseSink::Enumerate(std::vector<SinkDevice>& devices) {
  devices.clear();
  PulseLoop loop;
  if (!loop.Connect(kClientName, kConnectMillis, lastError_)) return false;
  struct Listing {
    PulseLoop* loop;
    std::vector<SinkDevice>* devices;
    bool done = false;
  } listing{&loop, &devices};
  devices.push_back({kDefaultSinkDevice, kDefaultDescription});
  loop.Lock();
  pa_operation* op = pa_context_get_sink_info_list(
      loop.Context(),
      [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto* l = static_cast<Listing*>(data);
        if (eol != 0) {
          l->done = true;
        } else if (info) {
          l->devices->push_back(
              {info->name ? info->name : "", info->description ? info->description : info->name});
        }
        l->loop->Signal();
      },
      &listing);
  const bool ok = op && loop.WaitUntil([&] { return listing.done; }, kOperationMillis);
  if (op) {
    if (!ok) pa_operation_cancel(op);
    pa_operation_unref(op);
  }
  loop.Unlock();
  if (!ok) lastError_ = "the PulseAudio server did not list its sinks";
  return ok;
}

bool PulseSink::Open(const std::string& deviceId, const PcmFormat& format, uint32_t bufferMillis) {
  Close();
  refusedFormat_ = true;
  pa_sample_spec spec{};
  if (!IsValidPcmFormat(format) || !ToSampleFormat(format, spec.format)) {
    lastError_ = "unsupported format " + DescribePcmFormat(format);
    return false;
  }
  spec.rate = format.sampleRate;
  spec.channels = static_cast<uint8_t>(format.channels);
  pa_channel_map map;
  // WAVE files and the devices above them order channels the WAVEFORMATEXTENSIBLE way.
  if (!pa_channel_map_init_extend(&map, spec.channels, PA_CHANNEL_MAP_WAVEEX)) {
    lastError_ = "no channel map for " + DescribePcmFormat(format);
    return false;
  }
  if (!pa_sample_spec_valid(&spec)) {
    lastError_ = "PulseAudio cannot carry " + DescribePcmFormat(format);
    return false;
  }
  // The server converts every valid format to its sink's: from here on a failure is the server's.
  refusedFormat_ = false;
  auto loop = std::make_unique<PulseLoop>();
  if (!loop->Connect(kClientName, kConnectMillis, lastError_)) return false;

  loop->Lock();
  pa_stream* stream = pa_stream_new(loop->Context(), "Playback", &spec, &map);
  if (!stream) {
    lastError_ = "cannot create a stream: " + loop->ErrorText();
    loop->Unlock();
    return false;
  }
  pa_stream_set_state_callback(stream, &WakeOnStream, loop.get());
  pa_stream_set_write_callback(stream, &WakeOnRequest, loop.get());
  pa_stream_set_latency_update_callback(stream, &WakeOnStream, loop.get());
  // The underflow callback reads these on the loop thread, under the loop lock.
  format_ = format;
  paused_ = false;
  framesWritten_ = framesPlayed_ = 0;
  timeOffsetFrames_ = writeIndexBytes_ = 0;
  pa_gettimeofday(&resumedAt_);
  underflowLoop_ = loop.get();
  pa_stream_set_underflow_callback(stream, &PulseSink::OnUnderflow, this);

  pa_buffer_attr attr = BufferAttributes(format, bufferMillis);
  const auto flags = static_cast<pa_stream_flags_t>(
      PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
  const char* device =
      deviceId.empty() || deviceId == kDefaultSinkDevice ? nullptr : deviceId.c_str();
  bool ok = pa_stream_connect_playback(stream, device, &attr, flags, nullptr, nullptr) == 0;
  ok = ok && loop->WaitUntil(
                 [&] {
                   const pa_stream_state_t s = pa_stream_get_state(stream);
                   return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
                 },
                 kConnectMillis);
  ok = ok && pa_stream_get_state(stream) == PA_STREAM_READY;
  if (!ok) {
    lastError_ = "cannot open a stream on " + std::string(device ? device : "the default sink") +
                 ": " + loop->ErrorText();
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_latency_update_callback(stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    loop->Unlock();
    return false;
  }
  stream_ = stream;
  const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream);
  bufferBytes_ = granted ? granted->tlength : attr.tlength;
  loop->Unlock();
  loop_ = std::move(loop);
  return true;
}

pa_buffer_attr PulseSink::BufferAttributes(const PcmFormat& format, uint32_t bufferMillis) {
  const uint32_t frameBytes = format.BlockAlign();
  const uint64_t frames = std::max<uint64_t>(uint64_t{format.sampleRate} * bufferMillis / 1000, 64);
  pa_buffer_attr attr;
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = static_cast<uint32_t>(frames * frameBytes);
  // Start (and restart after an underrun) on the first frame: a caller that has written its
  // last few frames has nothing more to add to reach a larger threshold, and would wait forever
  // for them to play.
  attr.prebuf = frameBytes;
  attr.minreq = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(-1);
  return attr;
}

void PulseSink::Close() {
  if (!stream_) return;
  loop_->Lock();
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_write_callback(stream_, nullptr, nullptr);
  pa_stream_set_latency_update_callback(stream_, nullptr, nullptr);
  pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
  loop_->Unlock();
  loop_.reset();
}

bool PulseSink::StreamGoodLocked() const {
  return stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY;
}

void PulseSink::Fail(const std::string& what) {
  lastError_ = what + ": " + (loop_ ? loop_->ErrorText() : std::string("not open"));
}

bool PulseSink::HasFailed() {
  if (!stream_) return false;
  loop_->Lock();
  const bool failed = !StreamGoodLocked();
  loop_->Unlock();
  return failed;
}

size_t PulseSink::RoomLocked() {
  if (!StreamGoodLocked()) return 0;
  size_t n = pa_stream_writable_size(stream_);
  if (n == static_cast<size_t>(-1)) n = 0;
  // After the stream has run dry the server asks for more only with a late timing report; what
  // has been heard tells the room just as well.
  const uint64_t queued = (framesWritten_ - PlayedLocked()) * format_.BlockAlign();
  if (!paused_ && queued < bufferBytes_) n = std::max<size_t>(n, bufferBytes_ - queued);
  return n / format_.BlockAlign() * format_.BlockAlign();
}

size_t PulseSink::WritableBytes() {
  if (!stream_) return 0;
  loop_->Lock();
  const size_t n = RoomLocked();
  loop_->Unlock();
  return n;
}

int64_t PulseSink::Write(const void* data, size_t bytes) {
  if (!stream_) {
    lastError_ = "not open";
    return -1;
  }
  loop_->Lock();
  int64_t result = -1;
  if (!StreamGoodLocked()) {
    Fail("the stream is gone");
  } else {
    const size_t take = std::min(bytes, RoomLocked()) / format_.BlockAlign() * format_.BlockAlign();
    if (take == 0) {
      result = 0;
    } else if (pa_stream_write(stream_, data, take, nullptr, 0, PA_SEEK_RELATIVE) == 0) {
      framesWritten_ += take / format_.BlockAlign();
      writeIndexBytes_ += static_cast<int64_t>(take);
      result = static_cast<int64_t>(take);
    } else {
      Fail("write failed");
    }
  }
  loop_->Unlock();
  return result;
}

bool PulseSink::WaitWritable(uint32_t timeoutMillis) {
  if (!stream_) return false;
  loop_->Lock();
  const bool ok = loop_->WaitUntil(
      [&] { return !StreamGoodLocked() || RoomLocked() >= format_.BlockAlign(); }, timeoutMillis);
  const bool room = ok && StreamGoodLocked();
  loop_->Unlock();
  return room;
}

void PulseSink::OnUnderflow(pa_stream* stream, void* self) {
  // The stream ran dry, so the server has read all it was given; fresh timing shows that at
  // once instead of at the next periodic update.
  if (pa_operation* op = pa_stream_update_timing_info(stream, nullptr, nullptr)) {
    pa_operation_unref(op);
  }
  static_cast<PulseSink*>(self)->underflowLoop_->Signal();
}

bool PulseSink::StreamFramesLocked(uint64_t& frames) {
  pa_usec_t usec = 0;
  if (!StreamGoodLocked() || pa_stream_get_time(stream_, &usec) != 0) return false;
  frames = usec * format_.sampleRate / 1000000;
  return true;
}

void PulseSink::RebaseLocked() {
  uint64_t frames = 0;
  if (StreamFramesLocked(frames)) {
    timeOffsetFrames_ = static_cast<int64_t>(frames) - static_cast<int64_t>(framesPlayed_);
  }
}

uint64_t PulseSink::PlayedLocked() {
  uint64_t frames = 0;
  // While corked the server's stream time may still step over what it had rendered ahead; the
  // position heard is the one at the moment of the pause.
  if (!paused_ && StreamFramesLocked(frames)) {
    const int64_t adjusted = static_cast<int64_t>(frames) - timeOffsetFrames_;
    if (adjusted > 0) framesPlayed_ = std::max(framesPlayed_, static_cast<uint64_t>(adjusted));
    // A stream that has run dry stops its clock short of the end by the sink's latency, and
    // would stay there until more data comes. The sink goes on playing out what it holds, so
    // from the moment of the underrun the rest is heard at the sample rate. Only timing taken
    // after the last resume or flush tells of such an underrun.
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (timing && !timing->playing && !timing->read_index_corrupt &&
        timing->read_index >= writeIndexBytes_ &&
        pa_timeval_cmp(&timing->timestamp, &resumedAt_) > 0) {
      const uint64_t since = pa_timeval_age(&timing->timestamp) * format_.sampleRate / 1000000;
      if (adjusted > 0) {
        const uint64_t heard = static_cast<uint64_t>(adjusted) + since;
        framesPlayed_ = std::max(framesPlayed_, std::min(heard, framesWritten_));
      }
    }
  }
  framesPlayed_ = std::min(framesPlayed_, framesWritten_);
  return framesPlayed_;
}

uint64_t PulseSink::FramesWritten() {
  if (!stream_) return 0;
  loop_->Lock();
  const uint64_t n = framesWritten_;
  loop_->Unlock();
  return n;
}

uint64_t PulseSink::FramesPlayed() {
  if (!stream_) return 0;
  loop_->Lock();
  const uint64_t n = PlayedLocked();
  loop_->Unlock();
  return n;
}

bool PulseSink::Pause(bool paused) {
  if (!stream_) return false;
  loop_->Lock();
  bool ok = StreamGoodLocked();
  if (ok && paused != paused_) {
    if (paused) PlayedLocked();
    ok = loop_->Complete(pa_stream_cork(stream_, paused ? 1 : 0, nullptr, nullptr),
                         kOperationMillis);
    if (ok) {
      paused_ = paused;
      // Count on from the held position, whatever the stream time did meanwhile.
      if (!paused) {
        RebaseLocked();
        pa_gettimeofday(&resumedAt_);
      }
    } else {
      Fail(paused ? "pause failed" : "resume failed");
    }
  }
  loop_->Unlock();
  return ok;
}

bool PulseSink::Flush() {
  if (!stream_) return false;
  loop_->Lock();
  const uint64_t before = PlayedLocked();
  bool ok = StreamGoodLocked() &&
            loop_->Complete(pa_stream_flush(stream_, nullptr, nullptr), kOperationMillis);
  if (ok) {
    // The server moved its write index back to what it has read; count from what was heard and
    // let the stream time, which a flush may leave ahead of that, catch up from there.
    framesWritten_ = before;
    RebaseLocked();
    pa_gettimeofday(&resumedAt_);
    // The server moved its write index; learn where to, so underflow positions map onto ours.
    if (loop_->Complete(pa_stream_update_timing_info(stream_, nullptr, nullptr),
                        kOperationMillis)) {
      const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
      if (timing && !timing->write_index_corrupt) writeIndexBytes_ = timing->write_index;
    }
  } else {
    Fail("flush failed");
  }
  loop_->Unlock();
  return ok;
}

bool PulseSink::Drain(uint32_t timeoutMillis) {
  if (!stream_) return false;
  loop_->Lock();
  bool ok = StreamGoodLocked() && !paused_;
  if (ok) {
    ok = loop_->Complete(pa_stream_drain(stream_, nullptr, nullptr), timeoutMillis);
    if (ok) framesPlayed_ = framesWritten_;
  }
  loop_->Unlock();
  return ok;
}

std::string PulseSink::ConnectedSinkName() {
  if (!stream_) return {};
  loop_->Lock();
  const char* name = StreamGoodLocked() ? pa_stream_get_device_name(stream_) : nullptr;
  std::string result = name ? name : "";
  loop_->Unlock();
  return result;
}

}  // namespace vk2
