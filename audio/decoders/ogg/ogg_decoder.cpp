#include "audio/decoders/ogg/ogg_decoder.h"

#include <cmath>
#include <utility>
#include <vector>

#include "audio/common/format_record.h"
#include "audio/common/module_error_table.h"
#include "audio/common/module_identity.h"
#include "audio/decoders/ogg/vorbis_comments.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

enum OggErrorEntry : uint32_t { kOggInitFailed = 0, kOggReadFailed = 1, kOggInfoFailed = 2 };

ModuleErrorTable& OggErrors() {
  static ModuleErrorTable table(
      "OggVorbisDecoder", {"OGG Vorbis initialisation failed", "OGG Vorbis decoder read failed",
                           "OGG Vorbis decoder information request failed"});
  return table;
}

DecoderTraits OggTraits() {
  DecoderTraits t;
  t.ownInterface = kIID_MOggDecoder;
  t.fileTypes = {{u"*.ogg", u"OGG Vorbis Audio Files"}};
  return t;
}

// Packets hold this many bytes at most, always whole frames.
constexpr uint32_t kPacketBytes = 1024;
// Seeks closer than this to the current time move nothing.
constexpr double kSeekThresholdSeconds = 1.0;

}  // namespace

OggVorbisDecoder::OggVorbisDecoder() : DecoderBase(OggTraits()) {
  OggErrors().Register(ErrorRegistry());
  properties_.SetInner(
      [this] { return RefPtr<MModuleProperties>(static_cast<MModuleProperties*>(&comments_)); });
  AddProperties();
}

OggVorbisDecoder::~OggVorbisDecoder() {
  // A stream still open when the last reference goes is cleared here.
  ScopedLock main(mainLock_);
  ScopedLock lock(vorbisLock_);
  vorbis_.Close();
  input_.Reset();
}

int32_t OggVorbisDecoder::ReadFailed() const {
  return OggErrors().Code(kOggReadFailed);
}
int32_t OggVorbisDecoder::InfoFailed() const {
  return OggErrors().Code(kOggInfoFailed);
}

int32_t OggVorbisDecoder::PlaybackState() const {
  return state_ == kChainStopped || !vorbis_.IsOpen() ? MediaError(kMsWrongState) : kOk;
}

void OggVorbisDecoder::AddProperties() {
  table_.AddIdentity(u"OggVorbisDecoder", u"OggVorbis Decoder", 1.0);
  table_.AddWarmupTime(3.0);
  table_.AddString(u"format", kPropDeviceName, u"the format of the data being decoded",
                   [](TString* v) {
                     *v = u"OggVorbis";
                     return kOk;
                   });
  // Described here; their values come from the comments like any other text name.
  struct Tag {
    const char16_t* name;
    const char16_t* help;
  };
  for (const Tag& tag :
       {Tag{u"author", u"the author of the stream - available only during playback"},
        Tag{u"title", u"the title of the stream - available only during playback"},
        Tag{u"album", u"the album of the stream - available only during playback"}}) {
    const TString name = tag.name;
    table_.AddString(tag.name, kPropPlaybackOnly | kPropInfo | kPropString, tag.help,
                     [this, name](TString* v) { return CommentValue(name.c_str(), v); });
  }
  table_.AddInteger(u"instantbitrate", kPropPlaybackInteger,
                    u"the bit rate of the data being decoded now - available only during playback",
                    [this](int32_t* v) {
                      return WhilePlaying([&]() -> int32_t {
                        ScopedLock vorbis(vorbisLock_);
                        long rate = vorbis_.BitrateInstant();
                        // Between two packets nothing new was decoded: the last figure holds.
                        if (rate < 0) rate = lastBitrate_;
                        if (rate < 0) return InfoFailed();
                        lastBitrate_ = rate;
                        *v = static_cast<int32_t>(rate);
                        return kOk;
                      });
                    });
  table_.AddInteger(u"averagebitrate", kPropPlaybackInteger,
                    u"the average bit rate of the stream - available only during playback",
                    [this](int32_t* v) {
                      return WhilePlaying([&]() -> int32_t {
                        ScopedLock vorbis(vorbisLock_);
                        VorbisLinkInfo info;
                        if (!vorbis_.CurrentInfo(info)) return InfoFailed();
                        if (info.bitrateNominal <= 0) return kErrNotFound;
                        *v = static_cast<int32_t>(info.bitrateNominal);
                        return kOk;
                      });
                    });
  table_.AddInteger(u"isvbr", kPropPlaybackOnly | kPropInfo | kPropInteger,
                    u"whether the bit rate varies - available only during playback",
                    [this](int32_t* v) {
                      return WhilePlaying([&]() -> int32_t {
                        ScopedLock vorbis(vorbisLock_);
                        VorbisLinkInfo info;
                        if (!vorbis_.CurrentInfo(info)) return InfoFailed();
                        *v = info.bitrateNominal > 0 && info.bitrateLower == info.bitrateUpper;
                        return kOk;
                      });
                    });
  table_.AddNumber(u"totaltime", kPropPlaybackOnly | kPropInfo | kPropNumber,
                   u"the length of the stream in seconds - available only during playback",
                   [this](double* v) {
                     return WhilePlaying([&]() -> int32_t {
                       ScopedLock vorbis(vorbisLock_);
                       const double t = vorbis_.TimeTotal();
                       if (t < 0) return InfoFailed();
                       *v = t;
                       return kOk;
                     });
                   });
  table_.AddNumber(u"decodetime", kPropPlaybackNumber,
                   u"the time decoded so far in seconds - available only during playback",
                   [this](double* v) {
                     return WhilePlaying([&]() -> int32_t {
                       ScopedLock vorbis(vorbisLock_);
                       const double t = vorbis_.TimeTell();
                       if (t < 0) return InfoFailed();
                       *v = t;
                       return kOk;
                     });
                   });
  table_.AddInteger(u"totaltimeisestimate", kPropFormatInteger,
                    u"whether the total length is an estimate or not", [](int32_t* v) {
                      *v = 0;
                      return kOk;
                    });
  AddRepeatProperty(kPropInteger);
}

int32_t OggVorbisDecoder::CommentValue(const char16_t* name, TString* value) {
  if (!name || !value) return kErrMissingArg;
  DecoderLock lock(*this);
  if (state_ == kChainStopped || !vorbis_.IsOpen()) return kErrNotFound;
  std::vector<std::string> comments;
  {
    ScopedLock vorbis(vorbisLock_);
    if (!vorbis_.CurrentComments(comments)) return InfoFailed();
  }
  NarrowString key = Utf8(TString(name));
  std::string lookup = key.c_str();
  if (WideCompare(name, u"author", false) == 0) lookup = "artist";
  const auto joined = JoinCommentValues(comments, lookup);
  if (!joined) return kErrNotFound;
  // Comments are UTF-8.
  *value = Utf16(*joined);
  return kOk;
}

int32_t OggVorbisDecoder::CanHandle(AudioModuleOutput* upstream, uint32_t* score1,
                                    uint32_t* score2) {
  if (!score1 || !score2) return kErrMissingArg;
  *score1 = *score2 = 0;
  DecoderLock lock(*this);
  if (const int32_t r = SetUpProbe(upstream); r <= 0) return r;
  UpstreamStream probe(upstream, ErrorRegistry());
  probe.Rewind();
  VorbisLinkInfo info;
  // Only the headers: a full open would scan every link of a seekable stream.
  if (VorbisStream::Probe(probe.Stream(), &info)) {
    *score1 = kAcceptedScore1;
    *score2 = kAcceptedScore2;
    // The formats are known before a sample is decoded.
    knownRate_ = info.rate;
    knownChannels_ = info.channels;
  }
  return kOk;
}

int32_t OggVorbisDecoder::StateChange(int32_t state) {
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  DecoderLock lock(*this);
  if (state == state_) return kOk;
  if (state == kChainStopped) {
    ScopedLock vorbis(vorbisLock_);
    vorbis_.Close();
    input_.Reset();
  } else if (state_ == kChainStopped) {
    input_.Attach(upstream_, ErrorRegistry());
    // The headers are at the start.
    input_.Rewind();
    builtForLink_ = -1;
    seeked_ = false;
    firstSent_ = endSent_ = false;
    pendingError_ = 0;
    lastBitrate_ = -1;
    ScopedLock vorbis(vorbisLock_);
    if (!upstream_ || vorbis_.Open(input_.Stream()) < 0) {
      vorbis_.Close();
      input_.Reset();
      return OggErrors().Code(kOggInitFailed);
    }
    VorbisLinkInfo info;
    if (vorbis_.CurrentInfo(info)) {
      knownRate_ = info.rate;
      knownChannels_ = info.channels;
    }
  }
  repeat_ = false;
  state_ = state;
  return kOk;
}

int32_t OggVorbisDecoder::Seek(double seconds, uint32_t, uint32_t flush) {
  DecoderLock lock(*this);
  if (state_ == kChainStopped || !vorbis_.IsOpen()) return MediaError(kMsWrongState);
  ScopedLock vorbis(vorbisLock_);
  // Every seek marks the next packet, even one that moves nothing: the endpoint drops what it
  // holds up to that mark.
  seeked_ = true;
  endSent_ = false;
  double target = std::max(seconds, 0.0);
  const double total = vorbis_.TimeTotal();
  if (total >= 0 && target > total) target = total;
  // A small move is skipped only when what is queued downstream plays on: after a flush the
  // listener would otherwise jump to wherever decoding had got to, ahead of what was heard.
  const double now = vorbis_.TimeTell();
  if (!(flush & 0xFF) && now >= 0 && std::fabs(now - target) <= kSeekThresholdSeconds) {
    return kOk;
  }
  // To the sample, not the page: a page start lies up to a page's length before the target.
  if (vorbis_.SeekTime(target) < 0) return MediaError(kMsCannotSeek);
  return kOk;
}

int32_t OggVorbisDecoder::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  DecoderLock lock(*this);
  if (knownRate_ == 0 || knownChannels_ == 0) return kOk;
  formats->Append(MakePcmFormat(knownRate_, knownChannels_, 16).Get());
  formats->Append(MakePcmFormat(knownRate_, knownChannels_, 32, true).Get());
  return kOk;
}

int32_t OggVorbisDecoder::SetFormat(AudioFormat* format) {
  DecoderLock lock(*this);
  outputMode_ = format && format->isFloat ? kOutputModeFloat32 : kOutputModeInt16;
  return kOk;
}

void OggVorbisDecoder::ReplaceFormat(uint32_t rate, uint32_t channels) {
  const bool isFloat = outputMode_ == kOutputModeFloat32;
  format_ = MakePcmFormat(rate, channels, isFloat ? 32 : 16, isFloat);
  builtForMode_ = outputMode_;
  knownRate_ = rate;
  knownChannels_ = channels;
  QueueFormatChanged();
}

int32_t OggVorbisDecoder::GetPacket(AudioPacket** slot) {
  if (!slot) return kErrMissingArg;
  DecoderLock lock(*this);
  if (outputMode_ == kOutputModeNone) return kErrNoOutputMode;
  if (!Chain()) return MediaError(kMsNotInChain);
  if (state_ == kChainStopped || !vorbis_.IsOpen()) return MediaError(kMsWrongState);
  if (pendingError_ < 0) return std::exchange(pendingError_, 0);
  // After the last packet: the end, not empty packets for ever.
  if (endSent_) return MediaError(kMsEndOfData);
  if (!pool_) return kErrFailed;
  const int32_t acquired = pool_->AcquirePacket(slot, kPacketBytes);
  if (acquired < 0) return acquired;
  AudioPacket* p = *slot;
  const VorbisSampleMode mode =
      outputMode_ == kOutputModeFloat32 ? VorbisSampleMode::kFloat32 : VorbisSampleMode::kInt16;
  VorbisReadResult read;
  double now = -1.0;
  {
    ScopedLock vorbis(vorbisLock_);
    read = vorbis_.Read(p->data, kPacketBytes, mode);
    if (read.end && repeat_ && !endSent_) {
      // Repeat: back to the start instead of ending (once; the mark is spent).
      repeat_ = false;
      vorbis_.SeekTimePage(0.0);
      read.end = false;
      seeked_ = true;
    }
    now = vorbis_.TimeTell();
  }
  if (read.error < 0) {
    if (read.bytes == 0) return ReadFailed();
    pendingError_ = ReadFailed();
  }
  if (read.bytes > 0 && (read.link != builtForLink_ || outputMode_ != builtForMode_ || !format_)) {
    builtForLink_ = read.link;
    ReplaceFormat(read.rate, read.channels);
  } else if (!format_ && knownRate_ && knownChannels_) {
    ReplaceFormat(knownRate_, knownChannels_);
  }
  p->byteCount = static_cast<uint32_t>(read.bytes);
  p->SetFormat(format_.Get());
  p->streamId = input_.StreamId();
  p->position = read.startTime >= 0 ? read.startTime : now;
  p->length = read.rate ? static_cast<double>(read.bytes) /
                              (VorbisBytesPerSample(mode) * read.channels) / read.rate
                        : 0.0;
  p->flags = 0;
  if (!firstSent_) {
    p->flags |= kPacketFirst;
    firstSent_ = true;
  }
  if (read.end) {
    p->flags |= kPacketLast;
    endSent_ = true;
  }
  if (seeked_ || read.hole) {
    p->flags |= kPacketDiscontinuity;
    seeked_ = false;
  }
  return kOk;
}

}  // namespace vk2
