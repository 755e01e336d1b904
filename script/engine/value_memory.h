// What all script values together hold, counted against the value memory bound. Items charge
// their own bytes as they grow and shrink, from any thread; each thread gathers small changes
// before it adds them to the shared total, so counting costs no shared write per value, and a
// run looks at the bound only when its thread's values have grown by such a step.
#pragma once

#include <cstdint>

namespace vk2 {

// Adds (or with a negative count gives back) bytes held by script values.
void ChargeValueMemory(int64_t bytes);
// The bytes held, as far as this thread can see (other threads may still hold back up to
// kValueMemorySlack each).
int64_t ValueMemoryInUse();
inline constexpr int64_t kValueMemorySlack = 64 * 1024;
// True when the values hold more than the bound (MaxValueBytes). Growth on a thread that passes
// the bound also makes that thread's run look at its bounds at its next step.
bool ValueMemoryOverBound();

}  // namespace vk2
