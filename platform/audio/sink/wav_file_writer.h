// Writes PCM to a RIFF WAVE file as it arrives; the sizes in the header are set on Finish, and
// a file that is never finished still reads as a WAVE file with unknown length.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/audio/sink/pcm_format.h"

namespace vk2 {

class WavFileWriter {
 public:
  WavFileWriter() = default;
  WavFileWriter(const WavFileWriter&) = delete;
  WavFileWriter& operator=(const WavFileWriter&) = delete;
  ~WavFileWriter() { Finish(); }

  bool Start(const std::string& path, const PcmFormat& format);
  bool Append(const void* data, size_t bytes);
  // Writes the final sizes and closes the file. True when every write succeeded.
  bool Finish();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
  uint64_t dataBytes_ = 0;
  bool ok_ = true;
};

}  // namespace vk2
