// The work one top-level run may do. A run that takes the interpreter lock on its thread starts
// a budget; the runs it makes (functions, nested scripts) share it. Steps are loop passes and
// calls; time is what the run spends holding the lock, on the current clock, so waiting for the
// lock or with it given up does not count. Going past either bound raises a script error, which
// ends the run and so releases the lock for every other script.
#pragma once

#include <cstdint>

namespace vk2 {

struct RunBudget {
  bool active = false;
  uint64_t steps = 0;         // counted up to the last check
  uint64_t batch = 0;         // steps from the last check to the next
  uint64_t stepsToCheck = 0;  // of those, still to go
  uint64_t startMs = 0;
  uint64_t pausedMs = 0;      // time with the lock given up
  uint64_t pauseStartMs = 0;  // set while the lock is given up
  bool paused = false;
};

// Held by every Run, inside its interpreter lock. Starts a fresh budget for a run that took the
// lock itself (and restores the budget it replaced, which belongs to a run that gave the lock up
// while it waited), or joins the budget of the run under way.
class RunBudgetScope {
 public:
  explicit RunBudgetScope(bool tookLock);
  ~RunBudgetScope();
  RunBudgetScope(const RunBudgetScope&) = delete;
  RunBudgetScope& operator=(const RunBudgetScope&) = delete;

 private:
  bool fresh_;
  RunBudget saved_;
};

// Counts one step against the budget of the run under way. Every so many steps, and at the next
// step after CheckRunSoon, looks at the bounds: raises "Script took too many steps", "Script ran
// too long" or "Script values took too much memory".
void CountScriptStep();
// Makes the next step look at the bounds (the values on this thread have just grown past theirs).
void CheckRunSoon();

// The lock is given up and taken back (InterpreterUnlockScope): the run's clock stops meanwhile.
void PauseRunClock();
void ResumeRunClock();

}  // namespace vk2
