// The CD reader's own error table, "CDErrors", registered by each reader before the
// MediaSystem table's use.
#pragma once

#include <cstdint>

namespace vk2 {

class MErrorRegistry;

enum CdErrorEntry : uint32_t {
  kCdErrorUnknown = 0,     // "unknown error extracting cdaudio"
  kCdErrorReadFailed = 1,  // "cd audio extraction - read failed"
};

inline constexpr char kCdErrorsTable[] = "CDErrors";

void RegisterCdErrorsTable(MErrorRegistry* registry);
int32_t CdError(CdErrorEntry entry);
const char* CdErrorMessage(CdErrorEntry entry);

}  // namespace vk2
