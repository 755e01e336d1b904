// The command-line encoders and reference decoders the audio tests make and check fixtures
// with (sox, ffmpeg, oggenc, oggdec), on the sound layer's test helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/audio/audio_test_util.h"

namespace vk2::test {

// Runs `args[0]` with the arguments, output discarded; true when it exits with 0.
inline bool RunTool(const std::vector<std::string>& args) {
  return Run(args) == 0;
}
inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  return ReadFile(path);
}
inline std::vector<int16_t> BytesToS16(const std::vector<uint8_t>& bytes) {
  return ToS16(bytes);
}
// Interleaved samples of a raw 16-bit little-endian file.
inline std::vector<int16_t> ReadS16(const std::string& path) {
  return ToS16(ReadFile(path));
}

}  // namespace vk2::test
