#include "core/managers/notification_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "foundation/util/result.h"
#include "platform/fake_clock.h"

namespace vk2::test {
namespace {

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 5000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

class Counter : public MNotificationTick {
 public:
  void OnTick() override {
    ++ticks;
    if (onTick) onTick();
  }
  std::atomic<int> ticks{0};
  std::function<void()> onTick;
};

class NotificationThreadTest : public ::testing::Test {
 protected:
  FakeClock clock_;
  ScopedClock scoped_{clock_};
};

TEST_F(NotificationThreadTest, TicksOncePerPeriod) {
  RefPtr<NotificationThread> thread(new NotificationThread);
  Counter counter;
  ASSERT_EQ(thread->AddRemoveListener(&counter, 1), 0);
  ASSERT_EQ(thread->AddRemoveListener(&counter, 1), kErrAlreadyPresent);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(999);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  EXPECT_EQ(counter.ticks, 0);
  clock_.Advance(1);
  EXPECT_TRUE(Eventually([&] { return counter.ticks == 1; }));
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(1000);
  EXPECT_TRUE(Eventually([&] { return counter.ticks == 2; }));
  ASSERT_EQ(thread->AddRemoveListener(&counter, 0), 0);
  ASSERT_EQ(thread->AddRemoveListener(&counter, 0), kErrNotFound);
}

TEST_F(NotificationThreadTest, ATickMayChangeTheListeners) {
  RefPtr<NotificationThread> thread(new NotificationThread);
  Counter first, second;
  first.onTick = [&] {
    thread->AddRemoveListener(&first, 0);
    thread->AddRemoveListener(&second, 1);
  };
  ASSERT_EQ(thread->AddRemoveListener(&first, 1), 0);
  for (int period = 1; period <= 2; ++period) {
    ASSERT_TRUE(clock_.WaitForSleepers(1));
    clock_.Advance(1000);
    ASSERT_TRUE(Eventually([&] { return first.ticks + second.ticks == period; }));
  }
  EXPECT_EQ(first.ticks, 1);
  EXPECT_EQ(second.ticks, 1);
  thread->AddRemoveListener(&second, 0);
}

TEST_F(NotificationThreadTest, GoesAtOnceAndSurvivesItsLastReleaseInsideATick) {
  // Released from outside: returns without waiting for the period.
  {
    RefPtr<NotificationThread> thread(new NotificationThread);
    ASSERT_TRUE(clock_.WaitForSleepers(1));
  }
  // The only reference is dropped by a tick, on the thread itself.
  auto* thread = new NotificationThread;
  thread->AddRef();
  Counter counter;
  std::atomic<bool> released{false};
  counter.onTick = [&] {
    if (!released.exchange(true)) thread->Release();
  };
  ASSERT_EQ(thread->AddRemoveListener(&counter, 1), 0);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(1000);
  EXPECT_TRUE(Eventually([&] { return released.load(); }));
  EXPECT_TRUE(Eventually([&] { return clock_.SleeperCount() == 0; }));
}

}  // namespace
}  // namespace vk2::test
