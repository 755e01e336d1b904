#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <vector>

#include "platform/fake_clock.h"
#include "platform/thread.h"

namespace vk2 {
namespace {

constexpr uint32_t kLong = 1'000'000;  // fake milliseconds nobody advances to

struct StateCase {
  EventReset reset;
  bool initiallySet;
  bool firstWait;
  bool secondWait;
};

void PrintTo(const StateCase& c, std::ostream* os) {
  *os << (c.reset == EventReset::kManual ? "manual" : "auto") << (c.initiallySet ? " set" : "");
}

class EventStateTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(EventStateTest, WaitTakesAutoResetEventsAndLeavesManualOnes) {
  const StateCase& c = GetParam();
  Event e(c.reset, c.initiallySet);
  EXPECT_EQ(e.Wait(0), c.firstWait);
  EXPECT_EQ(e.Wait(0), c.secondWait);
  e.Set();
  e.Set();  // a second Set while set adds nothing
  EXPECT_TRUE(e.Wait(0));
  EXPECT_EQ(e.Wait(0), c.reset == EventReset::kManual);
  e.Set();
  e.Reset();
  EXPECT_FALSE(e.Wait(0));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EventStateTest,
                         ::testing::Values(StateCase{EventReset::kAuto, true, true, false},
                                           StateCase{EventReset::kAuto, false, false, false},
                                           StateCase{EventReset::kManual, true, true, true},
                                           StateCase{EventReset::kManual, false, false, false}));

struct AnyCase {
  const char* name;
  std::vector<EventReset> kinds;
  std::vector<bool> set;
  int32_t expected;
  std::vector<bool> setAfter;
};

void PrintTo(const AnyCase& c, std::ostream* os) {
  *os << c.name;
}

class WaitAnyTableTest : public ::testing::TestWithParam<AnyCase> {};

TEST_P(WaitAnyTableTest, ReturnsLowestSetIndexAndConsumesOnlyIt) {
  const AnyCase& c = GetParam();
  std::vector<std::unique_ptr<Event>> owned;
  std::vector<Event*> events;
  for (size_t i = 0; i < c.kinds.size(); ++i) {
    owned.push_back(std::make_unique<Event>(c.kinds[i], c.set[i]));
    events.push_back(owned.back().get());
  }
  EXPECT_EQ(WaitAny(events, 0), c.expected);
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i]->Wait(0), c.setAfter[i]) << "event " << i;
  }
}

constexpr EventReset A = EventReset::kAuto;
constexpr EventReset M = EventReset::kManual;

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitAnyTableTest,
    ::testing::Values(
        AnyCase{"SecondAndThirdSet", {A, A, A}, {false, true, true}, 1, {false, false, true}},
        AnyCase{"ManualFirst", {M, A}, {true, true}, 0, {true, true}},
        AnyCase{"AutoBeforeManual", {A, M}, {true, true}, 0, {false, true}},
        AnyCase{"ManualAfterUnset", {M, A}, {false, true}, 1, {false, false}},
        AnyCase{"NothingSet", {A, M}, {false, false}, kWaitTimeout, {false, false}},
        AnyCase{"OnlyLastSet",
                {A, A, A, A},
                {false, false, false, true},
                3,
                {false, false, false, false}}),
    [](const auto& info) { return info.param.name; });

TEST(WaitAnyTest, RefusesEmptyListsAndNullEvents) {
  Event e(EventReset::kAuto, true);
  EXPECT_EQ(WaitAny(std::span<Event* const>(), 0), kWaitFailed);
  EXPECT_EQ(WaitAny({&e, nullptr}, 0), kWaitFailed);
  EXPECT_TRUE(e.Wait(0)) << "a refused wait consumes nothing";
}

TEST(WaitAnyTest, SameEventTwiceIsTakenOnce) {
  Event e(EventReset::kAuto, true);
  EXPECT_EQ(WaitAny({&e, &e}, 0), 0);
  EXPECT_FALSE(e.Wait(0));
}

// Fixture: a fake clock, so that waiting threads can be seen asleep before the test acts. Waits
// here never time out on their own; the test runner's limit ends a test that hangs.
class EventClockTest : public ::testing::Test {
 protected:
  FakeClock clock_{1000};
  ScopedClock installed_{clock_};
};

TEST_F(EventClockTest, BlockedWaitAnyWakesForTheEventSetAndLeavesTheOthers) {
  Event a, b, c(EventReset::kManual);
  std::atomic<int32_t> result{-100};
  Thread waiter;
  ASSERT_TRUE(waiter.Start([&] { result = WaitAny({&a, &b, &c}, kLong); }));
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  b.Set();
  ASSERT_TRUE(waiter.Join());
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(b.Wait(0)) << "the Set was handed to the waiter, not left behind";
  EXPECT_FALSE(a.Wait(0));
  EXPECT_FALSE(c.Wait(0));

  // With two set, a later wait takes the first; the second stays set for the next one.
  a.Set();
  c.Set();
  EXPECT_EQ(WaitAny({&a, &b, &c}, 0), 0);
  EXPECT_EQ(WaitAny({&a, &b, &c}, 0), 2);
  EXPECT_EQ(WaitAny({&a, &b, &c}, 0), 2) << "manual-reset stays set";
}

TEST_F(EventClockTest, AutoResetSetWakesExactlyOneOfTwoWaiters) {
  Event e;
  Event someoneWoke;
  std::atomic<int> woken{0};
  Thread waiters[2];
  for (Thread& t : waiters) {
    ASSERT_TRUE(t.Start([&] {
      if (e.Wait(kLong)) {
        ++woken;
        someoneWoke.Set();
      }
    }));
  }
  ASSERT_TRUE(clock_.WaitForSleepers(2));
  e.Set();
  ASSERT_TRUE(someoneWoke.Wait());
  EXPECT_EQ(woken.load(), 1);
  EXPECT_FALSE(e.Wait(0)) << "the Set went to the waiter, it was not left set";
  e.Set();
  for (Thread& t : waiters)
    ASSERT_TRUE(t.Join());
  EXPECT_EQ(woken.load(), 2);
  EXPECT_FALSE(e.Wait(0));
}

TEST_F(EventClockTest, ManualResetSetWakesEveryWaiter) {
  Event gate(EventReset::kManual);
  constexpr int kWaiters = 5;
  std::atomic<int> woken{0};
  Thread waiters[kWaiters];
  for (Thread& t : waiters) {
    ASSERT_TRUE(t.Start([&] {
      if (gate.Wait(kLong)) ++woken;
    }));
  }
  ASSERT_TRUE(clock_.WaitForSleepers(kWaiters));
  gate.Set();
  for (Thread& t : waiters)
    ASSERT_TRUE(t.Join());
  EXPECT_EQ(woken.load(), kWaiters);
  EXPECT_TRUE(gate.Wait(0));
}

TEST_F(EventClockTest, TimeOutEndsTheWaitExactlyAtTheLimit) {
  Event e;
  std::atomic<int32_t> result{-100};
  std::atomic<uint64_t> returnedAt{0};
  Thread waiter;
  ASSERT_TRUE(waiter.Start([&] {
    result = WaitAny({&e}, 100);
    returnedAt = TickCount64();
  }));
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(99);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(1);
  ASSERT_TRUE(waiter.Join());
  EXPECT_EQ(result, kWaitTimeout);
  EXPECT_EQ(returnedAt, 1100u);
  // A Set after the time-out is not lost: it stays for the next wait.
  e.Set();
  EXPECT_TRUE(e.Wait(0));
}

}  // namespace
}  // namespace vk2
