#include "audio/decoders/mpeg/module/mpeg_decoder.h"

#include <cmath>

#include "audio/common/format_record.h"
#include "audio/common/media_errors.h"
#include "audio/common/module_error_table.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

ModuleErrorTable& OwnErrors() {
  static ModuleErrorTable table(
      "Quenvale", {"Quenvle couldn't find any more MPEG headers; perhaps this file is corrupt"});
  return table;
}

// One frame holds at most 1152 samples of 2 channels; 2 bytes each per output mode step.
constexpr uint32_t kPacketBytesPerMode = 4608;
static_assert(kPacketBytesPerMode * 2 >= MpegLayerDecoder::kMaxFrameSamples * sizeof(float));
// Past this many frames of a run the stream figures are taken as settled for CBR.
constexpr uint32_t kSettledFrames = 256;
// A full scan of a stream without a known size stops here: a live stream never ends.
constexpr uint32_t kUnsizedScanFrames = 256;

DecoderTraits MpegTraits() {
  DecoderTraits t;
  t.ownInterface = kIID_MMpegDecoder;
  const char16_t* description = u"MPEG Audio Files";
  t.fileTypes = {{u"*.mp3", description},
                 {u"*.mpa", description},
                 {u"*.mp1", description},
                 {u"*.mp2", description}};
  t.mimeTypes = {u"audio/mp3",   u"audio/mpeg",   u"audio/mpg",
                 u"audio/x-mp3", u"audio/x-mpeg", u"audio/x-mpg"};
  return t;
}

TString Wide(const std::string& narrow) {
  return TString(Windows1252ToUtf16(narrow).c_str());
}

TString FormatName(int version, int layer, bool withVersion) {
  TString text = u"MPEG";
  if (withVersion) text += version == kMpeg1 ? u"1" : version == kMpeg2 ? u"2" : u"2.5";
  text += u" Audio Layer ";
  text += static_cast<char16_t>(u'0' + layer);
  return text;
}

}  // namespace

MpegDecoder::MpegDecoder() : DecoderBase(MpegTraits()) {
  OwnErrors().Register(ErrorRegistry());
  AddProperties();
}

MpegDecoder::~MpegDecoder() = default;

int32_t MpegDecoder::NoMoreHeadersError() {
  return OwnErrors().Code(0);
}

int32_t MpegDecoder::PlaybackState() const {
  return state_ != kChainStopped && run_ ? kOk : MediaError(kMsWrongState);
}

void MpegDecoder::AddProperties() {
  table_.AddIdentity(u"QuenvaleMP3", u"Quenvale 4.7 MP3 Decoder", 1.0);
  table_.AddWarmupTime(3.0);
  table_.AddString(u"format", 1, u"the audio format that is currently being decoded",
                   [this](TString* v) {
                     DecoderLock lock(*this);
                     if (PlaybackState() == kOk && run_->core.Parser().FirstFrameSeen()) {
                       const MpegFrameHeader& h = run_->core.Header();
                       *v = FormatName(h.version, h.layer, true);
                       return kOk;
                     }
                     if (lastLayer_ == 0) return kErrNotFound;
                     *v = FormatName(lastVersion_, lastLayer_, false);
                     return kOk;
                   });
  struct TagField {
    const char16_t* name;
    const char16_t* help;
    std::string Id3v1Tag::*field;
  };
  static const TagField kTagFields[] = {
      {u"album",
       u"the original album of the audio file that is currently being decoded - available only "
       u"during playback",
       &Id3v1Tag::album},
      {u"author",
       u"the author of the audio file that is currently being decoded - available only during "
       u"playback",
       &Id3v1Tag::artist},
      {u"comment",
       u"a comment on the audio file that is currently being decoded - available only during "
       u"playback",
       &Id3v1Tag::comment},
      {u"genre",
       u"the genre of the audio file that is currently being decoded - available only during "
       u"playback",
       &Id3v1Tag::genreName},
      {u"title",
       u"the title of the audio file that is currently being decoded - available only during "
       u"playback",
       &Id3v1Tag::title},
      {u"year",
       u"the year of release of the audio file that is currently being decoded - available only "
       u"during playback",
       &Id3v1Tag::year},
  };
  for (const TagField& f : kTagFields) {
    table_.AddString(f.name, 161, f.help, [this, field = f.field](TString* v) {
      return WhilePlaying([&]() -> int32_t {
        if (!tag_.present) return kErrNotFound;
        *v = Wide(tag_.*field);
        return kOk;
      });
    });
  }
  table_.AddInteger(
      u"instantbitrate", 130,
      u"the bit rate of audio data that is being decoded right now - available only during "
      u"playback",
      [this](int32_t* v) {
        return WhilePlaying([&]() -> int32_t {
          *v = run_->core.Parser().FirstFrameSeen() ? run_->core.Header().bitrate : 0;
          return kOk;
        });
      });
  table_.AddInteger(
      u"averagebitrate", 130,
      u"the average bit rate of audio data that has been decoded so far - available only during "
      u"playback",
      [this](int32_t* v) {
        return WhilePlaying([&]() -> int32_t {
          *v = static_cast<int32_t>(std::lround(run_->core.Parser().AverageBitrate() * 1000.0));
          return kOk;
        });
      });
  table_.AddInteger(
      u"isvbr", 146,
      u"whether this audio stream is fixed or variable bit rate - available only during playback",
      [this](int32_t* v) {
        return WhilePlaying([&]() -> int32_t {
          *v = (framesDecoded_ < 9 ? detectedVbr_ : run_->core.Parser().IsVbr()) ? 1 : 0;
          return kOk;
        });
      });
  table_.AddNumber(u"totaltime", 147,
                   u"the total length of the piece audio data that is currently being decoded - "
                   u"available only during playback",
                   [this](double* v) {
                     return WhilePlaying([&]() -> int32_t {
                       double ms = run_->core.Parser().TotalTimeEstimate();
                       if (framesDecoded_ <= 8 && detectedTotalMs_ > 0.0) ms = detectedTotalMs_;
                       if (!(ms > 0.0)) return kErrNotFound;
                       *v = ms / 1000.0;
                       return kOk;
                     });
                   });
  table_.AddInteger(u"totaltimeisestimate", 146,
                    u"whether the total length is an estimate or not - available only during "
                    u"playback",
                    [this](int32_t* v) {
                      return WhilePlaying([&]() -> int32_t {
                        if (exactLength_ || run_->core.Parser().Xing().present) {
                          *v = 0;
                        } else if (framesDecoded_ < kSettledFrames) {
                          *v = 1;
                        } else {
                          *v = run_->core.Parser().IsVbr() ? 1 : 0;
                        }
                        return kOk;
                      });
                    });
  table_.AddNumber(u"decodetime", 131,
                   u"the amount of audio data that has been decoded so far - available only "
                   u"during playback",
                   [this](double* v) {
                     return WhilePlaying([&]() -> int32_t {
                       *v = positionMs_ / 1000.0;
                       return kOk;
                     });
                   });
  // Not listed by Describe: the playlist sets it to loop one piece.
  AddRepeatProperty(0);
}

int32_t MpegDecoder::StateChange(int32_t state) {
  DecoderLock lock(*this);
  if (state == kChainStopped && state_ != kChainStopped) {
    run_.reset();
  } else if (state != kChainStopped && state_ == kChainStopped) {
    status_ = 0;
    run_ = std::make_unique<Run>(upstream_, ErrorRegistry());
    positionMs_ = 0.0;
    seeked_ = false;
    uint8_t block[128];
    tag_ = run_->core.Reader().ReadAt(-128, SeekOrigin::kEnd, block, sizeof block) == 128
               ? ParseId3v1(block, sizeof block)
               : Id3v1Tag{};
    framesDecoded_ = 0;
    seekedSinceStart_ = false;
    exactLength_ = false;
  }
  if (state != state_) repeat_ = false;
  state_ = state;
  return kOk;
}

template <typename Done>
void MpegDecoder::DecodeWithoutOutput(Done done) {
  MpegDecoderCore& core = run_->core;
  while (!done()) {
    if (core.NextFrame(0) < 0) return;
    if (DecodeStep(core, nullptr) < 0) return;
  }
}

int32_t MpegDecoder::Prepare(int32_t mode) {
  DecoderLock lock(*this);
  if (state_ == kChainStopped || state_ == kChainFormatDetection || !run_) {
    return MediaError(kMsWrongState);
  }
  MpegDecoderCore& core = run_->core;
  if (mode == 1) {
    const int64_t size = core.Reader().Size();
    if (size <= 0) {
      DecodeWithoutOutput([&] { return framesDecoded_ >= 32; });
      return kOk;
    }
    // The frame stream learns where the audio starts (behind any ID3v2 tag) from the first
    // frame it meets: that must be the real first frame, or the rewind below lands mid-file.
    if (!core.Parser().FirstFrameSeen()) DecodeWithoutOutput([&] { return framesDecoded_ >= 1; });
    for (int64_t k = 1; k <= 3; ++k) {
      const int64_t point = k * (size / 4) + (k * (size % 4)) / 4;
      if (core.Reader().Position() < point && core.Reader().Seek(point, SeekOrigin::kBegin) >= 0)
        core.Parser().ResetSync();
      DecodeWithoutOutput([&] { return framesDecoded_ >= 32 * k; });
    }
    // Back to the first frame with the clock at 0, so playback after a scan starts clean. From
    // the start no bit reservoir needs priming.
    if (core.Parser().SeekToTime(0.0) && core.LayerDecoder()) core.LayerDecoder()->Reset();
    positionMs_ = 0.0;
    return kOk;
  }
  const bool sized = core.Reader().Size() > 0;
  DecodeWithoutOutput([&] {
    const MpegFrameParser& p = core.Parser();
    return exactLength_ || p.Xing().present || (framesDecoded_ >= kSettledFrames && !p.IsVbr()) ||
           (!sized && framesDecoded_ >= kUnsizedScanFrames);
  });
  return kOk;
}

int32_t MpegDecoder::Seek(double seconds, uint32_t, uint32_t) {
  DecoderLock lock(*this);
  if (!run_) return MediaError(kMsWrongState);
  if (!(seconds > 0.0)) seconds = 0.0;  // negative and NaN
  seeked_ = true;
  seekedSinceStart_ = true;
  if (!run_->core.SeekToTime(seconds * 1000.0)) return MediaError(kMsCannotSeek);
  positionMs_ = run_->core.Parser().PositionMs();
  // A seek back from the end plays on to a new end, which must be reported again.
  status_ &= ~2u;
  return kOk;
}

int32_t MpegDecoder::CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) {
  if (!score1 || !score2) return kErrMissingArg;
  *score1 = *score2 = 0;
  DecoderLock lock(*this);
  if (const int32_t r = SetUpProbe(upstream); r <= 0) return r;
  Run probe(upstream, ErrorRegistry());
  for (int i = 0; i < 8; ++i) {
    if (probe.core.NextFrame(MpegFrameParser::kDetectionSearchLimit) < 0) return kOk;
    if (DecodeStep(probe.core, nullptr) < 0) return kOk;
  }
  *score1 = kAcceptedScore1;
  *score2 = kAcceptedScore2;
  detectedVbr_ = probe.core.Parser().IsVbr();
  detectedTotalMs_ = probe.core.Parser().TotalTimeEstimate();
  // Detection's decodes count for nothing in the run that follows.
  framesDecoded_ = 0;
  return kOk;
}

int32_t MpegDecoder::DecodeStep(MpegDecoderCore& core, RefPtr<AudioPacket>* packet) {
  if (packet && outputMode_ == kOutputModeNone) return kErrNoOutputMode;
  const MpegFrameHeader& h = core.Header();
  const bool asFloat = outputMode_ == kOutputModeFloat32;
  if (!format_ || format_->sampleRate != static_cast<uint32_t>(h.sampleRate) ||
      format_->channels != static_cast<uint32_t>(h.channels)) {
    format_ = MakePcmFormat(h.sampleRate, h.channels, asFloat ? 32 : 16, asFloat);
    if (!format_) return kErrOutOfMemory;
    QueueFormatChanged();
  }
  lastLayer_ = h.layer;
  lastVersion_ = h.version;
  if (!packet) {
    const int n = core.DecodeFrame(nullptr, false);
    if (n < 0) return n;
    ++framesDecoded_;
    return kOk;
  }
  AudioPacket* raw = nullptr;
  const uint32_t capacity = static_cast<uint32_t>(outputMode_) * kPacketBytesPerMode;
  if (!pool_ || pool_->AcquirePacket(&raw, capacity) < 0 || !raw) return kErrFailed;
  *packet = RefPtr<AudioPacket>::Adopt(raw);
  const int n = core.DecodeFrame(raw->data, asFloat);
  if (n < 0) {
    *packet = nullptr;
    return n;
  }
  ++framesDecoded_;
  const double startMs = positionMs_;
  positionMs_ = core.Parser().PositionMs();
  raw->byteCount = static_cast<uint32_t>(n) * 2u * static_cast<uint32_t>(outputMode_);
  raw->position = startMs / 1000.0;
  raw->length = positionMs_ / 1000.0 - raw->position;
  raw->flags = 0;
  if (!(status_ & 1)) {
    raw->flags |= kPacketFirst;
    status_ |= 1;
  }
  raw->streamId = run_ ? run_->source.StreamId() : 0;
  raw->SetFormat(format_.Get());
  return kOk;
}

int32_t MpegDecoder::EndOfStream(AudioPacket** slot) {
  if (!seekedSinceStart_ && run_->core.Parser().IsVbr() && !exactLength_) {
    exactLength_ = true;
    QueueFormatChanged();
  }
  AudioPacket* raw = nullptr;
  if (!pool_ || pool_->AcquirePacket(&raw, 0) < 0 || !raw) return kErrFailed;
  raw->byteCount = 0;
  raw->SetFormat(format_.Get());
  raw->position = positionMs_ / 1000.0;
  raw->length = 0.0;
  raw->flags |= kPacketLast;
  if (seeked_) {
    raw->flags |= kPacketDiscontinuity;
    seeked_ = false;
  }
  raw->streamId = run_->source.StreamId();
  status_ |= 2;
  *slot = raw;
  return kOk;
}

void MpegDecoder::NoteStreamFigures() {
  if (framesDecoded_ <= 8) return;
  const MpegFrameParser& p = run_->core.Parser();
  const bool vbr = p.IsVbr();
  const double totalMs = p.TotalTimeEstimate();
  // The CBR estimate moves by a frame as padding comes and goes: not worth an event.
  const double tolerance =
      run_->core.Header().sampleRate > 0 ? run_->core.Header().DurationMs() : 0;
  const bool changed = vbr != reportedVbr_ || std::fabs(totalMs - reportedTotalMs_) > tolerance;
  if (changed || (framesDecoded_ == kSettledFrames && !vbr)) {
    reportedVbr_ = vbr;
    reportedTotalMs_ = totalMs;
    QueueFormatChanged();
  }
}

int32_t MpegDecoder::GetPacket(AudioPacket** slot) {
  if (!slot) return kErrMissingArg;
  *slot = nullptr;
  DecoderLock lock(*this);
  if (!run_ || state_ == kChainStopped) return MediaError(kMsWrongState);
  // Nothing is consumed outside a chain: the frames stay for the packets a chain asks for.
  if (!Chain()) return MediaError(kMsNotInChain);
  const bool wantFloat = outputMode_ == kOutputModeFloat32;
  if (format_ && (format_->isFloat != 0) != wantFloat) {
    format_ = MakePcmFormat(format_->sampleRate, format_->channels, wantFloat ? 32 : 16, wantFloat);
    if (!format_) return kErrOutOfMemory;
  }
  MpegDecoderCore& core = run_->core;
  bool restarted = false;
  RefPtr<AudioPacket> packet;
  for (;;) {
    if (core.NextFrame(0) < 0) {
      if (!core.Reader().AtEnd() || (status_ & 2)) return NoMoreHeadersError();
      if (repeat_ && !restarted) {
        repeat_ = false;
        restarted = true;
        if (core.SeekToTime(0.0)) {
          positionMs_ = core.Parser().PositionMs();
          continue;
        }
      }
      return EndOfStream(slot);
    }
    const int32_t r = DecodeStep(core, &packet);
    if (r == kErrNoOutputMode || r == kErrFailed || r == kErrOutOfMemory) return r;
    if (r >= 0 && packet) break;
  }
  if (seeked_) {
    packet->flags |= kPacketDiscontinuity;
    seeked_ = false;
  }
  NoteStreamFigures();
  *slot = packet.Detach();
  return kOk;
}

int32_t MpegDecoder::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  DecoderLock lock(*this);
  const uint32_t rate = format_ ? format_->sampleRate : 0;
  const uint32_t channels = format_ ? format_->channels : 0;
  RefPtr<AudioFormat> pcm16 = MakePcmFormat(rate, channels, 16, false);
  RefPtr<AudioFormat> pcm32 = MakePcmFormat(rate, channels, 32, true);
  if (!pcm16 || !pcm32) return kErrOutOfMemory;
  formats->Clear();
  formats->Append(pcm16.Get());
  formats->Append(pcm32.Get());
  return kOk;
}

int32_t MpegDecoder::SetFormat(AudioFormat* format) {
  if (!format) return kErrMissingArg;
  DecoderLock lock(*this);
  outputMode_ = format->isFloat ? kOutputModeFloat32 : kOutputModeInt16;
  return kOk;
}

}  // namespace vk2
