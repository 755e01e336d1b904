#include "audio/decoders/wave/wave_decoder.h"

#include <cmath>

#include "audio/common/format_record.h"
#include "audio/common/module_error_table.h"
#include "audio/common/module_identity.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

ModuleErrorTable& WaveErrors() {
  static ModuleErrorTable table("WaveDecoder",
                                {"the data supplied does not appear to be a wave file"});
  return table;
}

DecoderTraits WaveTraits() {
  DecoderTraits t;
  t.ownInterface = kIID_MWavDecoder;
  t.readOnlyProperties = true;
  t.callbackRegistry = false;
  t.fileTypes = {{u"*.wav", u"WAVE PCM Audio Files"}};
  t.mimeTypes = {u"audio/wav", u"audio/x-wav"};
  return t;
}

}  // namespace

int32_t WaveDecoderNotWaveError() {
  return WaveErrors().Code(0);
}

WaveDecoder::WaveDecoder() : DecoderBase(WaveTraits()) {
  WaveErrors().Register(ErrorRegistry());
  AddProperties();
}

WaveDecoder::~WaveDecoder() {
  // A stream still open when the last reference goes is closed here.
  DecoderLock lock(*this);
  CloseStream();
}

int32_t WaveDecoder::PlaybackState() const {
  return state_ == kChainStopped || !wave_.IsOpen() ? MediaError(kMsWrongState) : kOk;
}

void WaveDecoder::AddProperties() {
  table_.AddIdentity(u"ACMWAVDecoder", u"Windows ACM WAV Decoder", 1.0);
  table_.AddWarmupTime(1.0);
  table_.AddString(u"format", kPropString, u"the format of the data being decoded",
                   [this](TString* v) {
                     DecoderLock lock(*this);
                     if (state_ == kChainStopped || !wave_.IsOpen()) {
                       *v = u"WAVE";
                     } else {
                       TString text(u"WAVE (");
                       text += Utf16(wave_.Info().formatText);
                       text += u")";
                       *v = text;
                     }
                     return kOk;
                   });
  table_.AddString(u"channelformat", kPropString, u"how the channels of the audio are arranged",
                   [](TString* v) {
                     *v = u"discrete";
                     return kOk;
                   });
  auto bitRate = [this](int32_t* v) {
    return WhilePlaying([&]() -> int32_t {
      *v = static_cast<int32_t>(
          std::min<uint64_t>(uint64_t{wave_.Info().source.avgBytesPerSec} * 8, INT32_MAX));
      return kOk;
    });
  };
  table_.AddInteger(u"instantbitrate", kPropPlaybackInteger,
                    u"the bit rate of the data being decoded now - available only during playback",
                    bitRate);
  table_.AddInteger(u"averagebitrate", kPropPlaybackInteger,
                    u"the average bit rate of the stream - available only during playback",
                    bitRate);
  table_.AddInteger(u"isvbr", kPropPlaybackOnly | kPropInfo | kPropInteger,
                    u"whether the bit rate varies - available only during playback",
                    [this](int32_t* v) {
                      return WhilePlaying([&]() -> int32_t {
                        *v = 0;
                        return kOk;
                      });
                    });
  table_.AddNumber(u"totaltime", kPropPlaybackOnly | kPropInfo | kPropNumber,
                   u"the length of the stream in seconds - available only during playback",
                   [this](double* v) {
                     return WhilePlaying([&]() -> int32_t {
                       if (wave_.Info().totalSeconds < 0)
                         return MediaError(kMsUnsupportedForFormat);
                       *v = wave_.Info().totalSeconds;
                       return kOk;
                     });
                   });
  table_.AddInteger(
      u"totaltimeisestimate", kPropPlaybackOnly | kPropInfo | kPropInteger,
      u"whether the total length is an estimate or not - available only during playback",
      [this](int32_t* v) {
        return WhilePlaying([&]() -> int32_t {
          *v = wave_.Info().sizeTrusted ? 0 : 1;
          return kOk;
        });
      });
  table_.AddNumber(u"decodetime", kPropPlaybackNumber,
                   u"the time decoded so far in seconds - available only during playback",
                   [this](double* v) {
                     return WhilePlaying([&]() -> int32_t {
                       *v = wave_.DecodedSeconds();
                       return kOk;
                     });
                   });
}

bool WaveDecoder::OpenStream(UpstreamStream& input, bool probe) {
  // The headers are at the start.
  input.Rewind();
  if (wave_.Open(input.Stream(), probe) != WaveOpenError::kNone) {
    wave_.Close();
    return false;
  }
  const WaveFormat& dst = wave_.Info().destination;
  format_ = MakePcmFormat(dst.samplesPerSec, dst.channels, dst.bitsPerSample, false,
                          dst.bitsPerSample != 8);
  if (probe) wave_.Close();
  return true;
}

void WaveDecoder::CloseStream() {
  wave_.Close();
  input_.Reset();
}

int32_t WaveDecoder::CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) {
  if (!score1 || !score2) return kErrMissingArg;
  *score1 = *score2 = 0;
  DecoderLock lock(*this);
  if (const int32_t r = SetUpProbe(upstream); r <= 0) return r;
  UpstreamStream probe(upstream, ErrorRegistry());
  if (OpenStream(probe, true)) {
    *score1 = kAcceptedScore1;
    *score2 = kAcceptedScore2;
  }
  return kOk;
}

int32_t WaveDecoder::StateChange(int32_t state) {
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  DecoderLock lock(*this);
  if (state == state_) return kOk;
  if (state == kChainStopped) {
    CloseStream();
  } else if (state_ == kChainStopped) {
    endSent_ = false;
    input_.Attach(upstream_, ErrorRegistry());
    if (!upstream_ || !OpenStream(input_, false)) {
      CloseStream();
      return WaveDecoderNotWaveError();
    }
  }
  state_ = state;
  return kOk;
}

int32_t WaveDecoder::Seek(double seconds, uint32_t, uint32_t) {
  DecoderLock lock(*this);
  if (!wave_.IsOpen()) return MediaError(kMsWrongState);
  if (!wave_.SeekSeconds(seconds)) return MediaError(kMsCannotSeek);
  endSent_ = false;
  return kOk;
}

int32_t WaveDecoder::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  DecoderLock lock(*this);
  if (format_) formats->Append(format_.Get());
  return kOk;
}

int32_t WaveDecoder::GetPacket(AudioPacket** slot) {
  if (!slot) return kErrMissingArg;
  if (!Chain()) return MediaError(kMsNotInChain);
  // The conversion runs under the main lock: a seek from the owner's thread moves the same
  // source and conversion state.
  DecoderLock lock(*this);
  if (state_ == kChainStopped || !wave_.IsOpen()) return MediaError(kMsWrongState);
  if (endSent_) return MediaError(kMsEndOfData);
  if (!pool_) return kErrFailed;
  const int32_t acquired = pool_->AcquirePacket(slot, wave_.MaxPacketBytes());
  if (acquired < 0) return acquired;
  AudioPacket* p = *slot;
  WavePacket packet;
  const int32_t r = wave_.Read(p->data, packet);
  if (r < 0) return r;
  const WaveFormat& dst = wave_.Info().destination;
  p->byteCount = static_cast<uint32_t>(packet.bytes);
  p->SetFormat(format_.Get());
  p->position = packet.startSeconds;
  p->length = static_cast<double>(packet.bytes) / dst.avgBytesPerSec;
  p->streamId = input_.StreamId();
  p->flags = 0;
  if (packet.first) p->flags |= kPacketFirst;
  if (packet.last) {
    p->flags |= kPacketLast;
    endSent_ = true;
  }
  if (packet.discontinuity) p->flags |= kPacketDiscontinuity;
  return kOk;
}

}  // namespace vk2
