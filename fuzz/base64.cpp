// Base64 decoding: any text is decoded or refused without harm, and what decodes encodes back
// to the same characters (less padding) whenever its last group carries no stray bits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/text/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::TString text = vk2::FromNarrowString(reinterpret_cast<const char*>(data),
                                            static_cast<int32_t>(size < 65536 ? size : 65536));
  vk2::TArray<uint8_t> bytes;
  const int32_t n = vk2::Base64Decode(text.c_str(), static_cast<int32_t>(text.Length()), &bytes);
  if (n < 0) {
    if (bytes.Count() != 0) std::abort();
    return 0;
  }
  if (static_cast<uint32_t>(n) != bytes.Count()) std::abort();
  const vk2::TString again = vk2::Base64Encode(bytes.Data(), bytes.Count());
  vk2::TArray<uint8_t> back;
  if (vk2::Base64Decode(again, &back) != n) std::abort();
  for (uint32_t i = 0; i < back.Count(); ++i) {
    if (back[i] != bytes[i]) std::abort();
  }
  return 0;
}
