// The block layout behind every TString / NarrowString: a header, then the characters.
// Internal to the string code; other code goes through BasicTString.
#pragma once

#include <atomic>
#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

struct StringHeader {
  int32_t refs;       // only touched through std::atomic_ref
  uint32_t length;    // characters including the terminator
  uint32_t capacity;  // characters including the terminator
  uint32_t reserved;  // keeps the allocator pointer aligned
  StringAllocator allocator;
};
static_assert(sizeof(StringHeader) == kStringHeaderBytes);
static_assert(std::atomic_ref<int32_t>::required_alignment <= alignof(StringHeader));

template <class CharT>
inline StringHeader* HeaderOf(const CharT* chars) {
  return reinterpret_cast<StringHeader*>(
      const_cast<char*>(reinterpret_cast<const char*>(chars) - kStringHeaderBytes));
}

inline std::atomic_ref<int32_t> RefsOf(StringHeader* h) {
  return std::atomic_ref<int32_t>(h->refs);
}

}  // namespace vk2
