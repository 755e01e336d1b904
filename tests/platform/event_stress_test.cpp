// Events under many threads: lost wake-ups and double consumption show up as hangs or as counts
// that do not add up. Real clock; time limits here are only ways out of a hang.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/sleep.h"
#include "platform/thread.h"

namespace vk2 {
namespace {

constexpr uint32_t kWayOut = 30'000;

TEST(EventStressTest, PingPongLosesNoWakeUp) {
  Event ping, pong;
  constexpr int kRounds = 20'000;
  std::atomic<bool> failed{false};
  Thread other;
  ASSERT_TRUE(other.Start([&] {
    for (int i = 0; i < kRounds && !failed; ++i) {
      if (!ping.Wait(kWayOut)) failed = true;
      pong.Set();
    }
  }));
  for (int i = 0; i < kRounds && !failed; ++i) {
    ping.Set();
    if (!pong.Wait(kWayOut)) failed = true;
  }
  ASSERT_TRUE(other.Join());
  EXPECT_FALSE(failed.load());
}

// Each event is set again only after its last Set was acknowledged, so no Set coalesces with
// another: every Set must then reach exactly one WaitAny. If a WaitAny consumed two events, a
// producer would wait for an acknowledgement that never comes; if a Set reached two waiters,
// the counts would exceed the rounds.
struct WaitAnyHammer {
  WaitAnyHammer(int events, uint32_t consumerTimeoutMs)
      : consumerTimeoutMs(consumerTimeoutMs), counts(static_cast<size_t>(events)) {
    for (int i = 0; i < events; ++i) {
      work.push_back(std::make_unique<Event>());
      acks.push_back(std::make_unique<Event>());
      waitList.push_back(work.back().get());
    }
    waitList.push_back(&stop);
  }

  void Consume() {
    for (;;) {
      const int32_t r = WaitAny(waitList, consumerTimeoutMs);
      if (r == kWaitTimeout) continue;  // racing time-outs against Sets is the point
      if (r < 0 || r == static_cast<int32_t>(work.size())) return;
      counts[static_cast<size_t>(r)].fetch_add(1);
      acks[static_cast<size_t>(r)]->Set();
    }
  }

  bool Produce(size_t i, int rounds) {
    for (int r = 0; r < rounds; ++r) {
      work[i]->Set();
      if (!acks[i]->Wait(kWayOut)) return false;
    }
    return true;
  }

  const uint32_t consumerTimeoutMs;
  Event stop{EventReset::kManual};
  std::vector<std::unique_ptr<Event>> work, acks;
  std::vector<Event*> waitList;
  std::vector<std::atomic<int>> counts;
};

struct HammerCase {
  const char* name;
  int events;
  int consumers;
  uint32_t consumerTimeoutMs;
  int rounds;
};

void PrintTo(const HammerCase& c, std::ostream* os) {
  *os << c.name;
}

class WaitAnyStressTest : public ::testing::TestWithParam<HammerCase> {};

TEST_P(WaitAnyStressTest, EverySetReachesExactlyOneWaiter) {
  const HammerCase& c = GetParam();
  WaitAnyHammer h(c.events, c.consumerTimeoutMs);
  std::vector<Thread> consumers(static_cast<size_t>(c.consumers));
  for (Thread& t : consumers)
    ASSERT_TRUE(t.Start([&] { h.Consume(); }));
  std::vector<Thread> producers(static_cast<size_t>(c.events));
  std::atomic<int> stalled{0};
  for (size_t i = 0; i < producers.size(); ++i) {
    ASSERT_TRUE(producers[i].Start([&, i] {
      if (!h.Produce(i, c.rounds)) ++stalled;
    }));
  }
  for (Thread& t : producers)
    ASSERT_TRUE(t.Join());
  h.stop.Set();
  for (Thread& t : consumers)
    ASSERT_TRUE(t.Join());
  EXPECT_EQ(stalled.load(), 0);
  for (size_t i = 0; i < h.counts.size(); ++i) {
    EXPECT_EQ(h.counts[i].load(), c.rounds) << "event " << i;
    EXPECT_FALSE(h.work[i]->Wait(0)) << "event " << i << " left set";
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, WaitAnyStressTest,
                         ::testing::Values(HammerCase{"OneConsumer", 4, 1, kInfinite, 3000},
                                           HammerCase{"ManyConsumers", 6, 4, kInfinite, 3000},
                                           HammerCase{"PollingConsumers", 4, 3, 0, 2000},
                                           HammerCase{"ShortTimeOuts", 4, 3, 1, 2000}),
                         [](const auto& info) { return info.param.name; });

// Manual-reset events set and reset while waiters come and go: every waiter that starts after
// the final Set must see it, however the earlier races went.
TEST(EventStressTest, ManualResetFlickerEndsWithEveryoneReleased) {
  Event gate(EventReset::kManual);
  Event finalSet(EventReset::kManual);
  constexpr int kWaiters = 6;
  std::atomic<int> released{0};
  std::vector<Thread> waiters(kWaiters);
  for (Thread& t : waiters) {
    ASSERT_TRUE(t.Start([&] {
      for (;;) {
        if (WaitAny({&finalSet, &gate}, 1) == 0) break;
      }
      if (gate.Wait(kWayOut)) ++released;
    }));
  }
  for (int i = 0; i < 5000; ++i) {
    gate.Set();
    if (i % 7 == 0) YieldThread();
    gate.Reset();
  }
  gate.Set();
  finalSet.Set();
  for (Thread& t : waiters)
    ASSERT_TRUE(t.Join());
  EXPECT_EQ(released.load(), kWaiters);
}

TEST(CriticalSectionStressTest, NestedEntryAcrossThreadsKeepsStateConsistent) {
  CriticalSection cs;
  std::vector<int> list;  // guarded by cs
  constexpr int kThreads = 6;
  constexpr int kRounds = 5000;
  std::vector<Thread> threads(kThreads);
  for (Thread& t : threads) {
    ASSERT_TRUE(t.Start([&] {
      for (int i = 0; i < kRounds; ++i) {
        ScopedLock outer(cs);
        list.push_back(i);
        {
          ScopedLock inner(cs);  // a listener calling back in
          list.pop_back();
          list.push_back(i);
        }
        if (list.size() > 100) list.clear();
      }
    }));
  }
  for (Thread& t : threads)
    ASSERT_TRUE(t.Join());
  ScopedLock done(cs);
  EXPECT_LE(list.size(), 101u);
}

}  // namespace
}  // namespace vk2
