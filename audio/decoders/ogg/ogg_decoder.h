// `OggVorbisDecoder`: the chain module of vk2_audio_ogg. It decodes Ogg Vorbis read from its
// upstream reader through vorbisfile, hands out 16-bit or float packets as downstream asked,
// publishes the Vorbis comments and stream figures as properties, and tells its callbacks when
// a new logical stream (a chained link) changes the format or the stream information.
#pragma once

#include <cstdint>

#include "audio/decoders/common/decoder_base.h"
#include "audio/decoders/common/upstream_stream.h"
#include "audio/decoders/ogg/vorbis_stream.h"
#include "foundation/util/result.h"
#include "platform/critical_section.h"

namespace vk2 {

class OggVorbisDecoder final : public DecoderBase {
 public:
  OggVorbisDecoder();

  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t) override { return 0; }
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;

 private:
  ~OggVorbisDecoder() override;

  // Comments answer any text property name the table does not know.
  class CommentProperties final : public SubObject<MModuleProperties, OggVorbisDecoder> {
   public:
    using SubObject::SubObject;
    int32_t GetString(const char16_t* name, TString* value) override {
      return Owner()->CommentValue(name, value);
    }
    int32_t GetInteger(const char16_t*, int32_t*) override { return kErrNotFound; }
    int32_t GetNumber(const char16_t*, double*) override { return kErrNotFound; }
    int32_t Describe(PropertyDescriptionList*) override { return 0; }
    int32_t SetString(const char16_t*, const char16_t*) override { return kErrNotFound; }
    int32_t SetInteger(const char16_t*, int32_t) override { return kErrNotFound; }
    int32_t SetNumber(const char16_t*, double) override { return kErrNotFound; }
    int32_t LoadSettings(MPreferenceStore*) override { return 0; }
    int32_t SaveSettings(MPreferenceStore*) override { return 0; }
    int32_t SendFilterMessage(const char16_t*, uint32_t) override { return 0; }
  };

  int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) override;
  int32_t GetPacket(AudioPacket** slot) override;
  int32_t GetFormats(AudioFormatList* formats) override;
  int32_t SetFormat(AudioFormat* format) override;

  void AddProperties();
  int32_t CommentValue(const char16_t* name, TString* value);
  // Under the main lock: a new format record for the link and the output mode, event queued.
  void ReplaceFormat(uint32_t rate, uint32_t channels);
  int32_t PlaybackState() const override;
  int32_t ReadFailed() const;
  int32_t InfoFailed() const;

  CriticalSection vorbisLock_;  // taken after the main lock, never before it
  UpstreamStream input_;
  VorbisStream vorbis_;
  CommentProperties comments_{this};
  // Under the main lock.
  int builtForLink_ = -1;  // the link the format record was made for
  int32_t builtForMode_ = kOutputModeNone;
  uint32_t knownRate_ = 0;  // of the current link, or from the probe before any decoding
  uint32_t knownChannels_ = 0;
  bool seeked_ = false;  // the next packet carries the discontinuity flag
  bool firstSent_ = false;
  bool endSent_ = false;
  int32_t pendingError_ = 0;  // a read failure that follows the bytes already handed out
  long lastBitrate_ = -1;
};

}  // namespace vk2
