// Bounds on how deep one thread's scripts may go, and the settings that bound how long and how
// large they may grow. Depths are counted per thread (a script never moves between threads
// while it runs) and never need a lock.
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

// The bounds every script runs within, as one group of settings. A zero work or memory bound
// is no bound.
struct ScriptLimits {
  // How large one value may grow: members of one array and characters of one text. Operators
  // that would pass them raise "Array too large." or "Text too long.".
  uint32_t maxArrayMembers = 1u << 24;
  uint32_t maxTextLength = 1u << 26;
  // The work of one top-level run (loop passes and calls, and milliseconds spent holding the
  // interpreter lock), shared with every run it makes. Interface scripts take a few thousand
  // steps and a few milliseconds; these only stop a script that would never end.
  uint64_t maxStepsPerRun = 500'000'000;
  uint32_t maxRunMs = 10'000;
  // Bytes that all script values together may hold: text, member slots and the items themselves.
  uint64_t maxValueBytes = 512ull << 20;
};

// Takes effect at once, also for runs under way.
void SetScriptLimits(const ScriptLimits& limits);
ScriptLimits CurrentScriptLimits();

inline constexpr uint32_t kDefaultMaxArrayMembers = ScriptLimits{}.maxArrayMembers;
inline constexpr uint32_t kDefaultMaxTextLength = ScriptLimits{}.maxTextLength;
// Shorthands for the settings above (fuzzing lowers them).
void SetScriptSizeLimits(uint32_t maxArrayMembers, uint32_t maxTextLength);
void SetScriptStepLimit(uint64_t steps);
uint32_t MaxArrayMembers();
uint32_t MaxTextLength();
uint64_t MaxStepsPerRun();
uint32_t MaxRunMs();
uint64_t MaxValueBytes();

// True when less than a safe reserve of the current thread's stack is left.
bool StackNearlyExhausted();

}  // namespace vk2
