#pragma once
// Minimal writers of streams no Debian encoder makes: layer I frames, layer II frames with every
// quantisation class (MPEG-1 and the MPEG-2 low sampling rate table), and layer III frames with
// intensity stereo, short and mixed blocks. The content is pseudo-random; what matters is that
// every decoder reads the same bits.
#include <cstdint>
#include <vector>

namespace vk2::mpegtest {

struct WriterOptions {
  int version = 0;          // 0 MPEG-1, 1 MPEG-2
  int sampleRateIndex = 0;  // within the version
  int bitrateIndex = 14;
  int mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  int modeExtension = 0;
  int frames = 40;
  unsigned seed = 1;
  // Layer III only.
  int blockType = 0;  // 0 long, 2 short
  bool mixed = false;
  bool illegalIntensity = false;  // also write the position that means "no intensity"
};

std::vector<uint8_t> WriteLayer1(const WriterOptions& options);
std::vector<uint8_t> WriteLayer2(const WriterOptions& options);
std::vector<uint8_t> WriteLayer3(const WriterOptions& options);

}  // namespace vk2::mpegtest
