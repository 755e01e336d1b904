// Reading the wave format record of a "fmt " chunk, and the checks that keep later arithmetic
// (durations, block rounding) from dividing by zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/audio/wave_format.h"

namespace vk2 {

// Larger "fmt " chunks are refused: no real format needs more, and the size is read from the file.
inline constexpr uint32_t kMaxWaveFormatBytes = 64 * 1024;

// Parses `size` bytes of a "fmt " chunk (16 bytes or more). Extra bytes beyond the stated cbSize
// are ignored; a cbSize larger than what follows is cut to it. False when too short or too long.
bool ParseWaveFormat(const uint8_t* data, size_t size, WaveFormat& out);
// The record as bytes (18 + cbSize).
std::vector<uint8_t> SerializeWaveFormat(const WaveFormat& format);
// Empty when the record can be played from; otherwise why not.
std::string CheckWaveFormat(const WaveFormat& format);

}  // namespace vk2
