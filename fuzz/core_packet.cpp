// Command packets for the media core's callback sinks: any payload is parsed or refused without
// harm, and every string parsed lies inside the payload.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/module/core_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<vk2::TString> strings;
  const uint32_t bytes = static_cast<uint32_t>(size < 65536 ? size : 65536);
  if (!vk2::ParseCommandPacket(data, bytes, &strings)) return 0;
  uint64_t total = 0;
  for (const vk2::TString& s : strings)
    total += 4 + 2ull * s.Length();
  // Zero characters end a string early, so the strings may be shorter than their lengths.
  if (total > bytes) std::abort();
  return 0;
}
