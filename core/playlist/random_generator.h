// The media core's one random generator. A single 32-bit state serves the whole module: the
// playlists' shuffle orders and lock tokens and the named-object registry's temporary names all
// step it. It is not locked: steps racing on several threads may return the same value, which
// no caller relies on.
#pragma once

#include <cstdint>

namespace vk2 {

// One step from state x.
constexpr uint32_t StepRandom(uint32_t x) {
  const uint32_t r = x & 31;
  const uint32_t a = x << r;
  const uint32_t b = x >> ((39 - r) & 31);
  return (a - b) ^ (x * 1452508983u + 0x37374261u);
}

// Steps the module's state and returns the new one.
uint32_t NextRandom();
// Sets the state and steps it three times (a playlist seeds with the millisecond clock).
void SeedRandom(uint32_t seed);
// A value in [0, m] (m may be 0xFFFFFFFF).
uint32_t RandomIndex(uint32_t m);
// A value in [lo, hi]; lo when hi < lo.
uint32_t RandomBetween(uint32_t lo, uint32_t hi);
// The high 32 bits of x x range: a value in [0, range) for range > 0.
constexpr uint32_t ScaleRandom(uint32_t x, uint64_t range) {
  return static_cast<uint32_t>((static_cast<uint64_t>(x) * range) >> 32);
}

}  // namespace vk2
