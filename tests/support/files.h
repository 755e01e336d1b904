// Whole files in and out, for fixtures and for what a test recorded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

std::vector<uint8_t> ReadFile(const std::string& path);
// The same, as text; empty when the file cannot be read.
std::string ReadTextFile(const std::string& path);
// Size of a file, -1 when it does not exist.
int64_t FileSize(const std::string& path);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Bytes whose value tells their offset, so a misplaced read shows.
std::vector<uint8_t> PatternBytes(size_t n);
uint8_t PatternByte(int64_t offset);

}  // namespace vk2::test
