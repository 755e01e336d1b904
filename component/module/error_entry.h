// Asking whether a result code is a given entry of a named error table, whatever module made it.
#pragma once

#include <cstdint>

namespace vk2 {

class MErrorRegistry;

// True when `code` is the code of entry `entry` of the table named `table`.
bool IsErrorEntry(MErrorRegistry* registry, int32_t code, uint32_t entry, const char* table);

}  // namespace vk2
