// The bounds on a whole run: its steps, its time under the interpreter lock, and the memory
// all values hold together. A run past any of them ends with its error and frees the lock.
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "interfaces/script/handler_call.h"
#include "script/engine/interpreter_lock.h"
#include "script/engine/run_limits.h"
#include "script/engine/value_memory.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

ScriptLimits Limits(uint64_t steps, uint32_t ms, uint64_t valueBytes) {
  ScriptLimits limits;
  limits.maxStepsPerRun = steps;
  limits.maxRunMs = ms;
  limits.maxValueBytes = valueBytes;
  return limits;
}

TEST_F(ScriptTest, StepBoundEndsARunAndIsSharedByTheRunsItMakes) {
  SetScriptLimits(Limits(1000, 0, 0));
  struct Case {
    const char* script;
    const char* error;  // null: the script must succeed
  } cases[] = {
      {"while (1) { }", "Script took too many steps"},
      {"for ($i in 1 to 1000) { }", nullptr},
      {"for ($i in 1 to 1001) { }", "Script took too many steps"},
      {"foreach ($x in {1, 2}) { for ($i in 1 to 499) { } }", nullptr},
      {"$a = {1}; foreach ($x in $a) { $a |= {1}; }", "Script took too many steps"},
      // Each call alone is far below the bound; together with their caller they pass it.
      {"f = \"for ($i in 1 to 10) { }\"; for ($j in 1 to 90) { f(); }",
       "Script took too many steps"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    if (c.error) {
      EXPECT_EQ(FirstError(c.script, MakeObject("o").Get()), c.error);
    } else {
      // Twice: every top-level run starts with the whole budget.
      EXPECT_EQ(Run(c.script, nullptr), 0) << console_->All();
      EXPECT_EQ(Run(c.script, nullptr), 0) << console_->All();
    }
  }
}

// Moves the test's clock by 100 ms on every call, with the interpreter lock held or given up.
struct ClockStep {
  FakeClock* clock;
  bool releasesLock;
};

int32_t StepClock(HandlerCall& call) {
  auto* step = reinterpret_cast<ClockStep*>(call.handlerData);
  if (step->releasesLock) {
    InterpreterUnlockScope unlocked;
    step->clock->Advance(100);
  } else {
    step->clock->Advance(100);
  }
  return 0;
}

TEST_F(ScriptTest, TimeBoundCountsOnlyTimeSpentHoldingTheLock) {
  SetScriptLimits(Limits(0, 1000, 0));
  ClockStep busy{&clock_, false};
  ClockStep waits{&clock_, true};
  RefPtr<ScriptObject> self = ScriptObject::Make();
  self->SetName(u"self");
  ASSERT_TRUE(self->AddFunction(u"busy", u"", false, StepClock, self.Get(),
                                reinterpret_cast<uintptr_t>(&busy), 0));
  ASSERT_TRUE(self->AddFunction(u"waits", u"", false, StepClock, self.Get(),
                                reinterpret_cast<uintptr_t>(&waits), 0));
  ASSERT_TRUE(self->RegisterWithEngine(nullptr));
  EXPECT_EQ(FirstError("while (1) { busy(); }", self.Get()), "Script ran too long");
  // Five minutes with the lock given up, which other scripts could use meanwhile.
  EXPECT_EQ(Run("for ($i in 1 to 3000) { waits(); }", self.Get()), 0) << console_->All();
  self->UnregisterFromEngine(nullptr);
}

TEST_F(ScriptTest, RunawayLoopEndsWithItsErrorAndTheNextScriptRuns) {
  SetScriptLimits(Limits(0, 5000, 0));
  RefPtr<MScriptObject> self = MakeObject("looper");
  auto runaway = std::async(std::launch::async, [&] {
    return Run("::console.write(\"looping\"); while (1) { }", self.Get());
  });
  auto sawLine = [&](const std::string& text) {
    return console_->All().find(text) != std::string::npos;
  };
  // Real time only as a way out should the loop never start.
  for (int i = 0; i < 2000 && !sawLine("looping"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(sawLine("looping"));
  std::string value;
  auto second =
      std::async(std::launch::async, [&] { return Run("return (6 * 7);", nullptr, &value); });
  // The loop holds the interpreter, so the second script cannot have run.
  EXPECT_EQ(second.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  clock_.Advance(4000);
  EXPECT_EQ(second.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  clock_.Advance(1000);
  if (runaway.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    SetScriptStepLimit(1);  // ends the loop, so the test fails instead of hanging
    FAIL() << "the runaway loop did not end";
  }
  EXPECT_EQ(runaway.get(), -9);
  EXPECT_EQ(second.get(), 0);
  EXPECT_EQ(value, "42");
  std::string all = console_->All();
  EXPECT_NE(all.find("\tScript ran too long\nError occured in:"), std::string::npos) << all;
}

TEST_F(ScriptTest, ValuesTogetherStopAtTheirMemoryBound) {
  constexpr uint64_t kBound = 1 << 20;
  SetScriptLimits(Limits(0, 0, kBound));
  const char* scripts[] = {
      "$s = \"0123456789\"; while (1) { $s |= $s; }",
      "$s = \"0123456789\"; while (1) { $s = $s | $s; }",
      "$a = \"\"; while (1) { $a |= {\"0123456789\"}; }",
      "$row = {1, 2, 3, 4, 5, 6, 7, 8}; $a = \"\"; while (1) { $a |= {$row}; }",
      "$a = {1}; while (1) { $a = $a | {$a}; }",
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    int64_t before = ValueMemoryInUse();
    EXPECT_EQ(FirstError(script), "Script values took too much memory");
    // What the run made went with it, and the next script runs.
    EXPECT_LT(ValueMemoryInUse() - before, 64 * 1024);
    EXPECT_EQ(Value("return (1 + 1);"), "2");
  }
}

TEST_F(ScriptTest, ValueMemoryFollowsEveryChangeAndComesBackToItsStart) {
  // Freed items wait in a per-thread cache and count until it lets them go.
  ReleaseThreadValueBlocks();
  const int64_t start = ValueMemoryInUse();
  {
    TString thousand;
    for (int i = 0; i < 100; ++i)
      thousand.Append(u"0123456789");
    RefPtr<ScriptDataObject> text = ScriptDataObject::MakeText(thousand);
    EXPECT_GE(ValueMemoryInUse() - start, 2000);
    int64_t before = ValueMemoryInUse();
    ASSERT_TRUE(text->AppendText(text->Text()));
    EXPECT_GE(ValueMemoryInUse() - before, 2000);

    RefPtr<ScriptDataObject> array = ScriptDataObject::Make();
    before = ValueMemoryInUse();
    ASSERT_TRUE(array->SetArraySize(1000));
    EXPECT_GE(ValueMemoryInUse() - before, 1000 * static_cast<int64_t>(sizeof(void*)));
    ASSERT_TRUE(array->Append(text.Get()));
    RefPtr<ScriptDataObject> copy = ScriptDataObject::Make();
    before = ValueMemoryInUse();
    ASSERT_TRUE(copy->Assign(array.Get(), false));
    EXPECT_GE(ValueMemoryInUse() - before, 1000 * static_cast<int64_t>(sizeof(void*)));
    copy->SetNumber(2.5);
    text->SetTextKnown(u"1", true, 1);
    ASSERT_TRUE(array->SetArraySize(3));
    ASSERT_NE(array->GetMemberOrCreate(u"named", true), nullptr);
    ASSERT_NE(array->AppendNew(), nullptr);
  }
  ReleaseThreadValueBlocks();
  EXPECT_EQ(ValueMemoryInUse(), start);
}

}  // namespace
}  // namespace vk2::test
