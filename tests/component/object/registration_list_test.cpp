// RegistrationList: add once, remove once, fire over a copy outside the lock, and removal that
// waits for a fire under way.
#include "component/object/registration_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace vk2 {
namespace {

struct Registration {
  int receiver;
  uint32_t key;
  bool operator==(const Registration&) const = default;
};

TEST(RegistrationListTest, AddsOnceRemovesOnceAndFiresInOrder) {
  RegistrationList<Registration> list;
  struct Step {
    bool add;
    Registration entry;
    int32_t result;
  };
  const Step steps[] = {
      {true, {1, 0}, 0},   {true, {2, 0}, 0},  {true, {1, 0}, -6},  // same pair twice
      {true, {1, 5}, 0},                                            // same receiver, other key
      {false, {3, 0}, -5}, {false, {2, 0}, 0}, {false, {2, 0}, -5},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(s.add ? list.Add(s.entry) : list.Remove(s.entry), s.result)
        << s.add << " " << s.entry.receiver << "/" << s.entry.key;
  }
  std::vector<Registration> called;
  list.Fire([&](const Registration& r) { called.push_back(r); });
  EXPECT_EQ(called, (std::vector<Registration>{{1, 0}, {1, 5}}));
  EXPECT_EQ(list.Count(), 2u);
  EXPECT_TRUE(list.Contains({1, 5}));
}

TEST(RegistrationListTest, CallbacksMayChangeTheListWhileItFires) {
  RegistrationList<Registration> list;
  list.Add({1, 0});
  list.Add({2, 0});
  std::vector<int> called;
  list.Fire([&](const Registration& r) {
    called.push_back(r.receiver);
    if (r.receiver == 1) {
      EXPECT_EQ(list.RemoveAndWait({1, 0}), 0);  // its own fire does not hold it up
      EXPECT_EQ(list.Remove({2, 0}), 0);
      EXPECT_EQ(list.Add({3, 0}), 0);
    }
  });
  // The fire runs over the copy taken when it began, less what was removed meanwhile.
  EXPECT_EQ(called, (std::vector<int>{1}));
  called.clear();
  list.Fire([&](const Registration& r) { called.push_back(r.receiver); });
  EXPECT_EQ(called, (std::vector<int>{3}));
}

TEST(RegistrationListTest, RemoveAndWaitReturnsOnlyAfterAFireUnderWayEnded) {
  RegistrationList<Registration> list;
  list.Add({1, 0});
  std::promise<void> entered;
  std::promise<void> proceed;
  std::shared_future<void> proceedFuture = proceed.get_future().share();
  std::atomic<bool> fireEnded{false};
  std::thread firing([&] {
    list.Fire([&](const Registration&) {
      entered.set_value();
      proceedFuture.wait();
      fireEnded = true;
    });
  });
  entered.get_future().wait();

  auto removal = std::async(std::launch::async, [&] { return list.RemoveAndWait({1, 0}); });
  EXPECT_EQ(removal.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  // Plain removal and new registrations are not held up by the fire.
  EXPECT_EQ(list.Add({2, 0}), 0);
  EXPECT_EQ(list.Remove({2, 0}), 0);
  proceed.set_value();
  EXPECT_EQ(removal.get(), 0);
  EXPECT_TRUE(fireEnded);
  firing.join();

  int calls = 0;
  list.Fire([&](const Registration&) { ++calls; });
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(list.RemoveAndWait({1, 0}), -5);
}

}  // namespace
}  // namespace vk2
