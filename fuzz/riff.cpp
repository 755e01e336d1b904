// RIFF chunk navigation, the wave format record and the conversion set up from it, over
// arbitrary bytes: every path must end in an answer, never a crash, a hang or a huge allocation.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/acm/acm_format.h"
#include "platform/audio/acm/acm_stream.h"
#include "platform/audio/acm/wave_format_reader.h"
#include "platform/audio/riff/riff_reader.h"

namespace {

void Convert(const vk2::WaveFormat& format, vk2::RiffReader& riff, const vk2::RiffChunk& data) {
  vk2::WaveFormat dst;
  if (vk2::AcmFormatSuggest(format, &dst, 0) < 0) return;
  std::unique_ptr<vk2::AcmStream> stream;
  if (vk2::AcmStream::Open(stream, format, dst) < 0) return;
  uint32_t need = 0;
  stream->Size(format.blockAlign, &need, vk2::kAcmSizeSource);
  uint32_t srcFor1k = 0;
  stream->Size(1024, &srcFor1k, vk2::kAcmSizeDestination);
  const uint32_t srcSize = std::min<uint32_t>(std::max<uint32_t>(format.blockAlign, 4096), 1 << 16);
  const uint32_t dstSize =
      std::min<uint32_t>(std::max<uint32_t>(stream->DestinationBlockBytes(), 4096), 1 << 20);
  std::vector<uint8_t> src(srcSize), out(dstSize);
  vk2::AcmStreamHeader h;
  h.source = src.data();
  h.destination = out.data();
  h.destinationLength = dstSize;
  stream->PrepareHeader(&h);
  uint32_t held = 0;
  int64_t left = std::min<int64_t>(data.size, 1 << 16);
  for (int round = 0; round < 64; ++round) {
    const int64_t n = riff.Read(src.data() + held, std::min<int64_t>(srcSize - held, left));
    if (n < 0) return;
    held += static_cast<uint32_t>(n);
    left -= n;
    h.sourceLength = held;
    const bool end = n == 0 || left <= 0;
    uint32_t flags = vk2::kAcmConvertBlockAlign | (round == 0 ? vk2::kAcmConvertStart : 0);
    if (end) flags |= vk2::kAcmConvertEnd;
    if (stream->Convert(&h, flags) < 0) return;
    if (h.sourceLengthUsed > held || h.destinationLengthUsed > dstSize) __builtin_trap();
    std::copy(src.begin() + h.sourceLengthUsed, src.begin() + held, src.begin());
    held -= h.sourceLengthUsed;
    if (end && h.destinationLengthUsed == 0) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks a seekable file or a live stream.
  vk2::MemoryByteSource stream(data + 1, size - 1, (data[0] & 1) != 0);
  vk2::RiffReader riff(stream);
  vk2::RiffChunk form;
  if (riff.Descend(&form, nullptr, vk2::kRiffFindRiff) != vk2::kRiffOk) return 0;
  vk2::WaveFormat format;
  bool haveFormat = false;
  for (int i = 0; i < 64; ++i) {
    vk2::RiffChunk chunk;
    if (riff.Descend(&chunk, &form, 0) != vk2::kRiffOk) break;
    if (chunk.id == vk2::kFourCCFmt && chunk.size <= vk2::kMaxWaveFormatBytes) {
      std::vector<uint8_t> bytes(chunk.size);
      const int64_t n = riff.Read(bytes.data(), chunk.size);
      if (n > 0 && vk2::ParseWaveFormat(bytes.data(), static_cast<size_t>(n), format)) {
        std::string text;
        vk2::AcmFormatDetails(format, &text);
        haveFormat = vk2::CheckWaveFormat(format).empty();
      }
    } else if (chunk.id == vk2::kFourCCData && haveFormat) {
      Convert(format, riff, chunk);
    } else if (chunk.id == vk2::kFourCCList) {
      vk2::RiffChunk inner;
      while (riff.Descend(&inner, &chunk, 0) == vk2::kRiffOk) {
        if (riff.Ascend(inner) != vk2::kRiffOk) break;
      }
    }
    if (riff.Ascend(chunk) != vk2::kRiffOk) break;
  }
  return 0;
}
