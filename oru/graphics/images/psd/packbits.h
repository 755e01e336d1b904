// The run-length scheme of the layered document's channel rows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk2::oru {

// Unpacks `size` bytes into exactly `width` bytes; false when the data makes more or fewer.
bool UnpackBitsRow(const uint8_t* data, size_t size, uint8_t* out, size_t width);

}  // namespace vk2::oru
