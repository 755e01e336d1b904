#pragma once
// Layer III: side information, bit reservoir, scale factors, Huffman decoding, requantisation,
// reordering, stereo processing, alias reduction, hybrid transform, synthesis.
#include <cstdint>
#include <vector>

#include "audio/decoders/mpeg/core/layer3_tables.h"
#include "audio/decoders/mpeg/core/layer_decoder.h"
#include "foundation/bytes/bit_reader.h"

namespace vk2 {

struct MpegGranuleChannel {
  int part23Length = 0;
  int bigValues = 0;
  int globalGain = 0;
  int scalefacCompress = 0;
  bool windowSwitching = false;
  int blockType = 0;
  bool mixed = false;
  int tableSelect[3] = {};
  int subblockGain[3] = {};
  int region0Count = 0;
  int region1Count = 0;
  int preflag = 0;
  int scalefacScale = 0;
  int count1Table = 0;
};

struct MpegSideInfo {
  int mainDataBegin = 0;
  int privateBits = 0;
  int scfsi[2][4] = {};
  MpegGranuleChannel granule[2][2];
};

class MpegLayer3Decoder final : public MpegLayerDecoder {
 public:
  MpegLayer3Decoder(MpegFrameParser& parser, MpegFrameStream& reader,
                    MpegSynthesisFilter& synthesis);

  int DecodeFrame(void* out, bool asFloat) override;
  void Reset() override;
  bool MainDataComplete() const override { return complete_; }

  // Reads and checks the side information of the frame loaded in the bit reader.
  static bool ReadSideInfo(const MpegFrameHeader& header, BitReader bits, MpegSideInfo& out);

 private:
  void ReadScalefactorsMpeg1(BitReader& bits, const MpegGranuleChannel& gc, int ch, int gr);
  void ReadScalefactorsLsf(BitReader& bits, MpegGranuleChannel& gc, int ch, bool intensityRight);
  // Gains of the consecutive line ranges of a granule and channel, in bitstream order.
  int GainSegments(const MpegGranuleChannel& gc, int ch, int16_t* ends, float* gains) const;
  // Huffman decoding and requantisation in one pass; false for a bad granule.
  bool DecodeLines(BitReader& bits, const MpegGranuleChannel& gc, int ch, uint64_t part23End);
  void Reorder(const MpegGranuleChannel& gc, int ch);
  void Stereo(const MpegFrameHeader& h, const MpegGranuleChannel* gcs);
  void IntensityLong(const MpegFrameHeader& h, int firstBand, int endLine, bool ms);
  void AliasReduce(const MpegGranuleChannel& gc, int ch);
  void Hybrid(const MpegGranuleChannel& gc, int ch, float* subbands);

  const MpegLayer3Tables& tables_;
  const MpegKernels& kernels_;
  int group_ = 0;  // sample-rate group 0-8 of the current frame
  bool lsf_ = false;
  bool complete_ = false;
  std::vector<uint8_t> reservoir_;
  size_t fill_ = 0;
  MpegSideInfo side_;
  int scalefacLong_[2][22] = {};
  int scalefacShort_[2][13][3] = {};
  // MPEG-2 intensity stereo: the largest value of each band's field marks an illegal position.
  int isLimitLong_[22] = {};
  int isLimitShort_[13] = {};
  int intensityScale_ = 0;
  int limit_[2] = {};  // lines past this one are zero
  alignas(64) float lines_[2][576];
  alignas(64) float overlap_[2][18 * 32];
};

}  // namespace vk2
