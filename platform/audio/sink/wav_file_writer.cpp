#include "platform/audio/sink/wav_file_writer.h"

#include <cstring>
#include <vector>

namespace vk2 {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

// RIFF sizes are 32-bit; a longer capture keeps the largest size that fits.
uint32_t Clamp32(uint64_t v) {
  return v > 0xFFFFFFF0u ? 0xFFFFFFF0u : static_cast<uint32_t>(v);
}

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;

}  // namespace

bool WavFileWriter::Start(const std::string& path, const PcmFormat& format) {
  Finish();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  dataBytes_ = 0;
  ok_ = true;
  std::vector<uint8_t> header;
  PutTag(header, "RIFF");
  Put32(header, 0xFFFFFFFFu);  // unknown until Finish
  PutTag(header, "WAVE");
  PutTag(header, "fmt ");
  Put32(header, 16);
  Put16(header, format.isFloat ? 3 : 1);
  Put16(header, format.channels);
  Put32(header, format.sampleRate);
  Put32(header, Clamp32(format.BytesPerSecond()));
  Put16(header, format.BlockAlign());
  Put16(header, format.bitsPerSample);
  PutTag(header, "data");
  Put32(header, 0xFFFFFFFFu);
  ok_ = std::fwrite(header.data(), 1, header.size(), file_) == header.size();
  return ok_;
}

bool WavFileWriter::Append(const void* data, size_t bytes) {
  if (!file_) return false;
  if (bytes != 0 && std::fwrite(data, 1, bytes, file_) != bytes) ok_ = false;
  dataBytes_ += bytes;
  return ok_;
}

bool WavFileWriter::Finish() {
  if (!file_) return ok_;
  if (dataBytes_ & 1) {
    const uint8_t pad = 0;
    ok_ = std::fwrite(&pad, 1, 1, file_) == 1 && ok_;
  }
  std::vector<uint8_t> size;
  Put32(size, Clamp32(36 + dataBytes_ + (dataBytes_ & 1)));
  ok_ = std::fseek(file_, kRiffSizeOffset, SEEK_SET) == 0 && ok_;
  ok_ = std::fwrite(size.data(), 1, 4, file_) == 4 && ok_;
  size.clear();
  Put32(size, Clamp32(dataBytes_));
  ok_ = std::fseek(file_, kDataSizeOffset, SEEK_SET) == 0 && ok_;
  ok_ = std::fwrite(size.data(), 1, 4, file_) == 4 && ok_;
  ok_ = std::fclose(file_) == 0 && ok_;
  file_ = nullptr;
  return ok_;
}

}  // namespace vk2
