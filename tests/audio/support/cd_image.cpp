#include "tests/audio/support/cd_image.h"

#include <cstdio>
#include <fstream>

namespace vk2::test {
namespace {

constexpr int64_t kSectorBytes = 2352;
constexpr int64_t kFramesPerSector = 588;

std::string Msf(int64_t sector) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(sector / 4500),
                static_cast<int>(sector / 75 % 60), static_cast<int>(sector % 75));
  return text;
}

}  // namespace

std::vector<uint8_t> CdImage::TrackBytes(int number) const {
  const auto i = static_cast<size_t>(number - 1);
  const auto from = static_cast<size_t>(firstSectors[i] * kSectorBytes);
  const auto n = static_cast<size_t>(sectorCounts[i] * kSectorBytes);
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
          bytes.begin() + static_cast<std::ptrdiff_t>(from + n)};
}

CdImage MakeCdImage(const TempFolder& dir, const std::vector<CdImageTrack>& tracks) {
  CdImage image;
  std::string cue = "FILE \"disc.bin\" BINARY\n";
  int64_t sector = 0;
  for (size_t i = 0; i < tracks.size(); ++i) {
    const CdImageTrack& t = tracks[i];
    std::vector<uint8_t> bytes;
    if (t.data) {
      bytes.resize(static_cast<size_t>(t.sectors * kSectorBytes));
      for (size_t b = 0; b < bytes.size(); ++b)
        bytes[b] = static_cast<uint8_t>(b * 7 + 3);
    } else {
      const std::string raw = dir.File("track" + std::to_string(i + 1) + ".raw");
      // The rate and channels go on the null input: on the output they would resample.
      if (Run({"sox", "-r", "44100", "-c", "2", "-n", "-b", "16", "-e", "signed-integer", "-L",
               "-t", "raw", raw, "synth", std::to_string(t.sectors * kFramesPerSector) + "s",
               "whitenoise", "vol", "0.5"}) != 0) {
        return {};
      }
      bytes = ReadFile(raw);
      if (bytes.size() != static_cast<size_t>(t.sectors * kSectorBytes)) return {};
    }
    image.firstSectors.push_back(sector);
    image.sectorCounts.push_back(t.sectors);
    image.bytes.insert(image.bytes.end(), bytes.begin(), bytes.end());
    char header[64];
    std::snprintf(header, sizeof header, "  TRACK %02d %s\n", static_cast<int>(i + 1),
                  t.data ? "MODE1/2352" : "AUDIO");
    cue += header;
    cue += "    INDEX 01 " + Msf(sector) + "\n";
    sector += t.sectors;
  }
  image.bin = dir.File("disc.bin");
  image.cue = dir.File("disc.cue");
  if (!WriteFile(image.bin, image.bytes)) return {};
  std::ofstream(image.cue) << cue;
  return image;
}

}  // namespace vk2::test
