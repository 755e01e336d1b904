// The entries of the string-keyed hash tables and the pool they come from.
#pragma once

#include <cstdint>

#include "foundation/containers/block_pool.h"
#include "foundation/text/tstring.h"

namespace vk2 {

struct StringHashEntry {
  TString key;
  // Set by the owner after Insert; wide enough to carry a pointer.
  uintptr_t value = 0;
  // The key's hash, kept so that iteration and rehashing need not hash the key again.
  uint32_t hash = 0;
};

// 128 entries to a block, lists growing by 640. One per module, shared by all its tables.
using EntryPool = BlockPool<StringHashEntry, 128, 640>;

}  // namespace vk2
