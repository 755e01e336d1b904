// An in-place quicksort whose comparison receives a caller context, for orders that depend on
// state the elements do not carry (a sort key, a direction, a token name).
#pragma once

#include <cstddef>

namespace vk2 {

// Negative when a sorts before b, 0 when equal, positive after.
using ContextCompare = int (*)(const void* a, const void* b, void* context);

// Sorts `count` elements of `size` bytes at `base`. Not stable. Needs no recursion and no heap:
// pending ranges sit on a fixed stack that the larger-part-first rule keeps shallow. Fewer than
// two elements, a zero size or a null base or comparison do nothing.
void SortWithContext(void* base, size_t count, size_t size, ContextCompare compare, void* context);

}  // namespace vk2
