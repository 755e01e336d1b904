// Deflated channel data (as editors and converters write layers): inflated to exactly the
// plane's size, never more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk2::oru {

// False when the data is damaged or inflates to another size than `size`.
bool InflatePlane(const uint8_t* data, size_t length, uint64_t size, std::vector<uint8_t>* out);

// Rows stored as differences from the previous byte, restored in place.
void UndoRowDeltas(std::vector<uint8_t>* plane, int32_t width, int32_t height);

}  // namespace vk2::oru
