// `WaveDecoder`: the chain module of vk2_audio_wave. It reads RIFF WAVE from its upstream
// reader and hands out the PCM the codec layer converts every format to; its properties are
// read-only and it raises no events.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/decoders/common/decoder_base.h"
#include "audio/decoders/common/upstream_stream.h"
#include "audio/decoders/wave/wave_stream.h"

namespace vk2 {

class WaveDecoder final : public DecoderBase {
 public:
  WaveDecoder();

  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t) override { return 0; }
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;

 private:
  ~WaveDecoder() override;

  int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) override;
  int32_t GetPacket(AudioPacket** slot) override;
  int32_t GetFormats(AudioFormatList* formats) override;
  int32_t SetFormat(AudioFormat*) override { return 0; }

  // Under the main lock: reads the headers from the start of `input` (which must outlive the
  // open stream) and, unless probing, readies the conversion; replaces the format record. False
  // when it is no playable WAVE.
  bool OpenStream(UpstreamStream& input, bool probe);
  void CloseStream();
  void AddProperties();
  int32_t PlaybackState() const override;

  UpstreamStream input_;  // what the open stream reads
  WaveStream wave_;
  bool endSent_ = false;
};

// The "WaveDecoder" table's one entry: the data is no wave file.
int32_t WaveDecoderNotWaveError();

}  // namespace vk2
