// Bounds on how deep and how long one thread's scripts may go. Depths are counted per thread
// (a script never moves between threads while it runs) and never need a lock.
#pragma once

#include <cstdint>

namespace vk2 {

// Every Run and every statement sequence takes one level; the 302nd nested level fails with
// "Script recursed too deep", and so does any level when the thread's stack runs low.
class RecursionGuard {
 public:
  static constexpr uint32_t kMaxDepth = 300;
  RecursionGuard();
  ~RecursionGuard();
  RecursionGuard(const RecursionGuard&) = delete;
  RecursionGuard& operator=(const RecursionGuard&) = delete;
  static uint32_t Depth();
};

// Nesting of expressions (parentheses, arrays, indexes, calls inside calls) is bounded too:
// beyond kMaxDepth, or when the stack runs low, "Expression nested too deep".
class ExpressionGuard {
 public:
  static constexpr uint32_t kMaxDepth = 1000;
  ExpressionGuard();
  ~ExpressionGuard();
  ExpressionGuard(const ExpressionGuard&) = delete;
  ExpressionGuard& operator=(const ExpressionGuard&) = delete;
};

// A budget of loop passes and calls for this thread (0: none). Used where a script must not
// run for ever, as in fuzzing; exhausting it raises "Script step limit reached.".
void SetScriptStepLimit(uint64_t steps);
// Counts one step against the budget.
void CountScriptStep();

// How large one value may grow: members of one array and characters of one text. Operators
// that would pass them raise "Array too large." or "Text too long."; fuzzing lowers them.
inline constexpr uint32_t kDefaultMaxArrayMembers = 1u << 24;
inline constexpr uint32_t kDefaultMaxTextLength = 1u << 26;
void SetScriptSizeLimits(uint32_t maxArrayMembers, uint32_t maxTextLength);
uint32_t MaxArrayMembers();
uint32_t MaxTextLength();

// True when less than a safe reserve of the current thread's stack is left.
bool StackNearlyExhausted();

}  // namespace vk2
