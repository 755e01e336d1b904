#include "core/text/sort_with_context.h"

#include <cstdint>
#include <utility>

namespace vk2 {
namespace {

// Ranges this short are finished by moving the largest element to the end, repeatedly.
constexpr size_t kShortRange = 8;

void SwapBytes(unsigned char* a, unsigned char* b, size_t size) {
  if (a == b) return;
  for (size_t i = 0; i < size; ++i)
    std::swap(a[i], b[i]);
}

void SortShort(unsigned char* lo, unsigned char* hi, size_t size, ContextCompare compare,
               void* context) {
  while (hi > lo) {
    unsigned char* largest = lo;
    for (unsigned char* p = lo + size; p <= hi; p += size) {
      if (compare(p, largest, context) > 0) largest = p;
    }
    SwapBytes(largest, hi, size);
    hi -= size;
  }
}

}  // namespace

void SortWithContext(void* base, size_t count, size_t size, ContextCompare compare, void* context) {
  if (!base || !compare || count < 2 || size == 0) return;
  // Each pushed range is the larger part, so every range below it on the stack is at least
  // twice its size: 64 levels cover any count a size_t can hold.
  struct Range {
    unsigned char* lo;
    unsigned char* hi;  // last element, inclusive
  };
  Range stack[64];
  size_t depth = 0;
  auto* first = static_cast<unsigned char*>(base);
  unsigned char* lo = first;
  unsigned char* hi = first + (count - 1) * size;
  for (;;) {
    const size_t elements = static_cast<size_t>(hi - lo) / size + 1;
    if (elements <= kShortRange) {
      SortShort(lo, hi, size, compare, context);
      if (depth == 0) return;
      --depth;
      lo = stack[depth].lo;
      hi = stack[depth].hi;
      continue;
    }
    // Middle element as the pivot, kept at the front while partitioning.
    SwapBytes(lo, lo + (elements / 2) * size, size);
    unsigned char* left = lo;
    unsigned char* right = hi + size;
    // Both scans stop on elements equal to the pivot, so runs of equal keys split evenly.
    for (;;) {
      do {
        left += size;
      } while (left < hi && compare(left, lo, context) < 0);
      do {
        right -= size;
      } while (right > lo && compare(lo, right, context) < 0);
      if (left >= right) break;
      SwapBytes(left, right, size);
    }
    SwapBytes(lo, right, size);
    // [lo, right - 1] <= pivot <= [right + 1, hi]; the pivot is in place.
    const size_t leftCount = static_cast<size_t>(right - lo) / size;
    const size_t rightCount = static_cast<size_t>(hi - right) / size;
    Range smaller{lo, right - size};
    Range larger{right + size, hi};
    if (leftCount > rightCount) std::swap(smaller, larger);
    const size_t largerCount = leftCount > rightCount ? leftCount : rightCount;
    const size_t smallerCount = leftCount > rightCount ? rightCount : leftCount;
    if (largerCount > 1) stack[depth++] = larger;
    if (smallerCount > 1) {
      lo = smaller.lo;
      hi = smaller.hi;
    } else {
      if (depth == 0) return;
      --depth;
      lo = stack[depth].lo;
      hi = stack[depth].hi;
    }
  }
}

}  // namespace vk2
