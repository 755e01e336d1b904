// The MPEG audio decoder chain module: the decoder interface set over one decoding run
// (MpegDecoderCore) per playback, with format detection, seeking, the duration estimate and the
// stream information and ID3v1 tag as properties.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/decoders/common/decoder_base.h"
#include "audio/decoders/common/upstream_byte_source.h"
#include "audio/decoders/mpeg/core/decoder_core.h"
#include "audio/decoders/mpeg/core/id3v1_tag.h"

namespace vk2 {

class MpegDecoder final : public DecoderBase {
 public:
  MpegDecoder();
  ~MpegDecoder() override;

  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t mode) override;
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;

  // The code of "no more MPEG headers" in this module's own error table.
  static int32_t NoMoreHeadersError();

 protected:
  int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) override;
  int32_t GetPacket(AudioPacket** slot) override;
  int32_t GetFormats(AudioFormatList* formats) override;
  int32_t SetFormat(AudioFormat* format) override;

 private:
  // One decoding run: the byte source and the core reading from it.
  struct Run {
    Run(AudioModuleOutput* upstream, MErrorRegistry* registry)
        : source(upstream, registry), core(source) {}
    UpstreamByteSource source;
    MpegDecoderCore core;
  };

  void AddProperties();
  // Decodes the frame `core` just found; into `packet` when given. Under the main lock.
  int32_t DecodeStep(MpegDecoderCore& core, RefPtr<AudioPacket>* packet);
  // Frames decoded without output until `done` says so or the input fails.
  template <typename Done>
  void DecodeWithoutOutput(Done done);
  int32_t EndOfStream(AudioPacket** slot);
  void NoteStreamFigures();
  int32_t PlaybackState() const override;

  std::unique_ptr<Run> run_;
  Id3v1Tag tag_;
  double positionMs_ = 0.0;
  uint32_t status_ = 0;  // bit 0: first packet out; bit 1: end-of-stream packet out
  bool seeked_ = false;
  bool seekedSinceStart_ = false;
  bool exactLength_ = false;
  uint32_t framesDecoded_ = 0;
  // Figures from format detection, and those last reported through event 5.
  bool detectedVbr_ = false;
  double detectedTotalMs_ = 0.0;
  bool reportedVbr_ = false;
  double reportedTotalMs_ = 0.0;
  // The last stream decoded, for "format" while stopped (0: none yet).
  int lastLayer_ = 0;
  int lastVersion_ = 0;
};

}  // namespace vk2
