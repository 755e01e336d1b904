// The command-line encoders and reference decoders the audio tests make and check fixtures
// with (sox, ffmpeg, oggenc, oggdec), run without a shell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

// Whether `tool` is found on PATH.
bool HaveTool(const std::string& tool);
// Runs `args[0]` with the arguments, output discarded; true when it exits with 0.
bool RunTool(const std::vector<std::string>& args);
// The bytes of a file (empty when it cannot be read).
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Raw little-endian 16-bit samples from `path` decoded by sox ("-t raw -e signed -b 16").
bool SoxDecodeToS16(const std::string& path, const std::string& rawOut);

// Interleaved samples of a raw file, as values.
std::vector<int16_t> ReadS16(const std::string& path);
std::vector<int16_t> BytesToS16(const std::vector<uint8_t>& bytes);

}  // namespace vk2::test
