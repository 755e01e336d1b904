// The MPEG frame stream and decoder over arbitrary bytes: sync search, tags, Xing, every layer.
#include "fuzz/mpeg_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  unsigned selector = size ? data[size - 1] : 0;
  vk2::mpegfuzz::DecodeAll(data, size, selector);
  return 0;
}
