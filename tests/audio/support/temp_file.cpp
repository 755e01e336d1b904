#include "tests/audio/support/temp_file.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <stdlib.h>

namespace vk2::test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vk2-audio-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  const std::string full = path_ + "/" + name;
  std::ofstream out(full, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return full;
}

uint8_t PatternByte(int64_t offset) {
  return static_cast<uint8_t>((offset * 7 + (offset >> 8) * 13 + (offset >> 16)) & 0xFF);
}

std::vector<uint8_t> PatternBytes(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = PatternByte(static_cast<int64_t>(i));
  return v;
}

}  // namespace vk2::test
