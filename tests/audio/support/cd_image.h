// Audio CD images made at test time: a BIN file of raw 2352-byte sectors (each audio track a
// stretch of noise made by sox) and the CUE sheet that lays the tracks out on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {

struct CdImageTrack {
  int64_t sectors = 0;
  bool data = false;  // a data track (MODE1/2352) in place of audio
};

struct CdImage {
  std::string cue;  // empty when the image could not be made
  std::string bin;
  std::vector<uint8_t> bytes;  // the whole BIN file
  std::vector<int64_t> firstSectors;
  std::vector<int64_t> sectorCounts;

  // The raw bytes of track `number` (1-based).
  std::vector<uint8_t> TrackBytes(int number) const;
};

// Writes "disc.bin" and "disc.cue" into `dir`.
CdImage MakeCdImage(const TempFolder& dir, const std::vector<CdImageTrack>& tracks);

}  // namespace vk2::test
