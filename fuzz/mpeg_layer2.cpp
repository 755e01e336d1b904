// Layer 2 frames with fuzzed payloads behind a header of the fuzzer's choosing.
#include "fuzz/mpeg_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> stream = vk2::mpegfuzz::LayerStream(2, data, size);
  if (stream.empty()) return 0;
  vk2::mpegfuzz::DecodeAll(stream.data(), stream.size(), size > 2 ? data[2] : 0);
  return 0;
}
