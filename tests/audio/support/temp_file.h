// Files made for a test in a private temporary folder, removed with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Writes `bytes` to a file of that name in the folder and returns its full path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

// Bytes whose value tells their offset, so a misplaced read shows.
std::vector<uint8_t> PatternBytes(size_t n);
uint8_t PatternByte(int64_t offset);

}  // namespace vk2::test
