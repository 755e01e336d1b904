#include "platform/critical_section.h"

#include <gtest/gtest.h>

#include <mutex>

#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {
namespace {

TEST(CriticalSectionTest, HolderMayEnterAgainAndOthersWaitUntilTheLastLeave) {
  CriticalSection cs;
  Event held;
  Event release;
  Thread holder;
  ASSERT_TRUE(holder.Start([&] {
    cs.Enter();
    {
      ScopedLock again(cs);  // recursive entry on the same thread
      EXPECT_TRUE(cs.IsHeldByCurrentThread());
    }
    EXPECT_TRUE(cs.IsHeldByCurrentThread());
    held.Set();
    release.Wait();
    cs.Leave();
  }));
  ASSERT_TRUE(held.Wait(10'000));
  EXPECT_FALSE(cs.IsHeldByCurrentThread());
  EXPECT_FALSE(cs.TryEnter()) << "still held once after the inner guard left";
  release.Set();
  ASSERT_TRUE(holder.Join());
  ASSERT_TRUE(cs.TryEnter());
  EXPECT_TRUE(cs.IsHeldByCurrentThread());
  cs.Leave();
  EXPECT_FALSE(cs.IsHeldByCurrentThread());
}

TEST(CriticalSectionTest, WorksWithStandardLockGuards) {
  CriticalSection cs;
  {
    std::scoped_lock lock(cs);
    std::unique_lock inner(cs);
    EXPECT_TRUE(cs.IsHeldByCurrentThread());
  }
  EXPECT_FALSE(cs.IsHeldByCurrentThread());
}

TEST(CriticalSectionTest, KeepsCountsExactUnderContention) {
  CriticalSection cs;
  int64_t counter = 0;  // guarded by cs only
  constexpr int kThreads = 4;
  constexpr int kRounds = 20'000;
  Thread threads[kThreads];
  for (Thread& t : threads) {
    ASSERT_TRUE(t.Start([&] {
      for (int i = 0; i < kRounds; ++i) {
        ScopedLock outer(cs);
        ScopedLock inner(cs);
        ++counter;
      }
    }));
  }
  for (Thread& t : threads)
    ASSERT_TRUE(t.Join());
  EXPECT_EQ(counter, int64_t{kThreads} * kRounds);
}

}  // namespace
}  // namespace vk2
