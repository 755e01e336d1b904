#include "script/engine/run_budget.h"

#include <algorithm>

#include "platform/clock.h"
#include "script/engine/run_limits.h"
#include "script/engine/value_memory.h"
#include "script/lang/script_error.h"

namespace vk2 {
namespace {

// Steps between two looks at the step bound and the clock: reading the clock on every loop
// pass would cost more than the pass itself.
constexpr uint64_t kStepsPerCheck = 1024;

thread_local RunBudget tBudget;

uint64_t NowMs() {
  return CurrentClock().NowMs();
}

// Schedules the next check: after kStepsPerCheck steps, or exactly at the first step past the
// step bound.
void ScheduleCheck(RunBudget& budget) {
  uint64_t maxSteps = MaxStepsPerRun();
  uint64_t next = kStepsPerCheck;
  if (maxSteps != 0 && budget.steps <= maxSteps) next = std::min(next, maxSteps - budget.steps + 1);
  budget.batch = next;
  budget.stepsToCheck = next;
}

void CheckWork(RunBudget& budget) {
  uint64_t maxSteps = MaxStepsPerRun();
  uint32_t maxMs = MaxRunMs();
  const char16_t* exceeded = nullptr;
  if (maxSteps != 0 && budget.steps > maxSteps) {
    exceeded = u"Script took too many steps";
  } else if (maxMs != 0 && NowMs() - budget.startMs - budget.pausedMs >= maxMs) {
    exceeded = u"Script ran too long";
  } else if (ValueMemoryOverBound()) {
    exceeded = u"Script values took too much memory";
  }
  if (exceeded) {
    // Every later step of this run (a caller that goes on after a failed call) fails too.
    budget.batch = 1;
    budget.stepsToCheck = 1;
    RaiseScriptError(exceeded);
  }
  ScheduleCheck(budget);
}

}  // namespace

RunBudgetScope::RunBudgetScope(bool tookLock) : fresh_(tookLock || !tBudget.active) {
  if (!fresh_) return;
  saved_ = tBudget;
  tBudget = RunBudget{};
  tBudget.active = true;
  tBudget.startMs = NowMs();
  ScheduleCheck(tBudget);
}

RunBudgetScope::~RunBudgetScope() {
  if (fresh_) tBudget = saved_;
}

void CountScriptStep() {
  // Outside a run the count starts at 0 and wraps, so it never reaches a check.
  RunBudget& budget = tBudget;
  if (--budget.stepsToCheck != 0) return;
  budget.steps += budget.batch;
  CheckWork(budget);
}

void CheckRunSoon() {
  RunBudget& budget = tBudget;
  if (!budget.active || budget.stepsToCheck <= 1) return;
  budget.batch -= budget.stepsToCheck - 1;  // the steps of this batch taken so far, and the next
  budget.stepsToCheck = 1;
}

void PauseRunClock() {
  RunBudget& budget = tBudget;
  if (!budget.active || budget.paused) return;
  budget.paused = true;
  budget.pauseStartMs = NowMs();
}

void ResumeRunClock() {
  RunBudget& budget = tBudget;
  if (!budget.active || !budget.paused) return;
  budget.paused = false;
  budget.pausedMs += NowMs() - budget.pauseStartMs;
}

}  // namespace vk2
