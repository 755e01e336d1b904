#include "core/playlist/random_generator.h"

#include <atomic>

namespace vk2 {
namespace {

// Relaxed atomics: racing steps may repeat a value, as documented, but never tear the word.
std::atomic<uint32_t> g_state{0};

}  // namespace

uint32_t NextRandom() {
  const uint32_t next = StepRandom(g_state.load(std::memory_order_relaxed));
  g_state.store(next, std::memory_order_relaxed);
  return next;
}

void SeedRandom(uint32_t seed) {
  g_state.store(seed, std::memory_order_relaxed);
  for (int i = 0; i < 3; ++i)
    NextRandom();
}

uint32_t RandomIndex(uint32_t m) {
  return ScaleRandom(NextRandom(), uint64_t{m} + 1);
}

uint32_t RandomBetween(uint32_t lo, uint32_t hi) {
  if (hi < lo) return lo;
  return lo + ScaleRandom(NextRandom(), uint64_t{hi} - lo + 1);
}

}  // namespace vk2
