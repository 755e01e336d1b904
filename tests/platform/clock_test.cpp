#include "platform/clock.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/event.h"
#include "platform/fake_clock.h"
#include "platform/sleep.h"
#include "platform/thread.h"

namespace vk2 {
namespace {

TEST(TickTest, ElapsedAndReachedHoldAcrossTheWrap) {
  struct Case {
    uint32_t later, earlier, elapsed;
  };
  for (const Case& c : {Case{100, 40, 60}, Case{5, 0xFFFFFFF0u, 0x15}, Case{0, 0xFFFFFFFFu, 1},
                        Case{0x80000000u, 0x7FFFFFFFu, 1}, Case{7, 7, 0}}) {
    EXPECT_EQ(TickElapsed(c.later, c.earlier), c.elapsed) << c.later << " " << c.earlier;
    EXPECT_TRUE(TickReached(c.later, c.earlier));
    EXPECT_EQ(TickReached(c.earlier, c.later), c.elapsed == 0);
  }
}

TEST(SystemClockTest, MillisecondsAndCounterAreOneMonotonicTimeLine) {
  Clock& clock = SystemClock();
  ASSERT_GT(clock.CounterFrequency(), 1000u);
  uint64_t previous = clock.NowMs();
  for (int i = 0; i < 1000; ++i) {
    const uint64_t before = clock.NowMs();
    const uint64_t counter = clock.Counter();
    const uint64_t after = clock.NowMs();
    const uint64_t counterMs = counter / (clock.CounterFrequency() / 1000);
    EXPECT_GE(before, previous);
    EXPECT_LE(before, counterMs);
    EXPECT_LE(counterMs, after);
    previous = after;
  }
}

TEST(CurrentClockTest, ScopedClocksNestAndRestore) {
  EXPECT_EQ(&CurrentClock(), &SystemClock());
  FakeClock outer(5000), inner(0xFFFFFFF0u);
  {
    ScopedClock a(outer);
    EXPECT_EQ(&CurrentClock(), &outer);
    EXPECT_EQ(TickCount64(), 5000u);
    {
      ScopedClock b(inner);
      EXPECT_EQ(TickCount(), 0xFFFFFFF0u);
    }
    EXPECT_EQ(&CurrentClock(), &outer);
  }
  EXPECT_EQ(&CurrentClock(), &SystemClock());
}

TEST(FakeClockTest, AdvanceMovesTicksAndCounterTogetherAndWraps) {
  FakeClock clock(0xFFFFFFF0u);
  ScopedClock installed(clock);
  const uint32_t start = TickCount();
  EXPECT_EQ(HighResFrequency(), FakeClock::kFrequency);
  clock.AdvanceUs(999);
  EXPECT_EQ(TickCount(), start) << "less than a millisecond";
  EXPECT_EQ(HighResCounter(), 0xFFFFFFF0ull * 1000 + 999);
  clock.AdvanceUs(1);
  clock.Advance(0x1F);
  EXPECT_EQ(TickCount(), 0x10u);
  EXPECT_EQ(TickCount64(), 0x100000010ull);
  EXPECT_EQ(TickElapsed(TickCount(), start), 0x20u);
  EXPECT_EQ(HighResCounter() * 1000 / HighResFrequency(), TickCount64());
}

TEST(FakeClockTest, WaitForSleepersGivesUpWhenNobodySleeps) {
  FakeClock clock;
  EXPECT_FALSE(clock.WaitForSleepers(1, 5));
  EXPECT_TRUE(clock.WaitForSleepers(0, 5));
}

class SleepTest : public ::testing::Test {
 protected:
  FakeClock clock_{1000};
  ScopedClock installed_{clock_};
};

TEST_F(SleepTest, ZeroOnlyYields) {
  SleepMs(0);
  EXPECT_EQ(TickCount64(), 1000u);
}

TEST_F(SleepTest, SleepersWakeInDeadlineOrderAsTimeIsAdvanced) {
  std::atomic<uint64_t> woke[3] = {0, 0, 0};
  Thread sleepers[3];
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(sleepers[i].Start([&, i] {
      SleepMs(static_cast<uint32_t>(10 * (i + 1)));
      woke[i] = TickCount64();
    }));
  }
  ASSERT_TRUE(clock_.WaitForSleepers(3));
  clock_.Advance(15);
  ASSERT_TRUE(sleepers[0].Join());
  EXPECT_EQ(woke[0], 1015u);
  EXPECT_FALSE(sleepers[2].Join(nullptr, 0));
  clock_.Advance(4);  // 1019: nobody is due
  clock_.Advance(1);
  ASSERT_TRUE(sleepers[1].Join());
  EXPECT_EQ(woke[1], 1020u);
  EXPECT_FALSE(sleepers[2].Join(nullptr, 0));
  clock_.Advance(100);
  ASSERT_TRUE(sleepers[2].Join());
  EXPECT_EQ(woke[2], 1120u);
  EXPECT_EQ(clock_.SleeperCount(), 0u);
}

TEST_F(SleepTest, AWokenThreadCanBeSeenGoingBackToSleep) {
  // A periodic worker: the test steps it one period at a time without racing it.
  Event stop(EventReset::kManual);
  std::atomic<int> ticks{0};
  Thread worker;
  ASSERT_TRUE(worker.Start([&] {
    while (!stop.Wait(1000))
      ++ticks;
  }));
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  for (int i = 1; i <= 5; ++i) {
    clock_.Advance(1000);
    // Advance took the worker off the sleeper list; it is back once it has counted the tick.
    ASSERT_TRUE(clock_.WaitForSleepers(1));
    EXPECT_EQ(ticks.load(), i);
  }
  stop.Set();
  ASSERT_TRUE(worker.Join());
  EXPECT_EQ(ticks.load(), 5);
}

}  // namespace
}  // namespace vk2
