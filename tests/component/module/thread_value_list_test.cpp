#include "component/module/thread_value_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "tests/foundation/containers/counted_unknown.h"

namespace vk2 {
namespace {

using test::CountedUnknown;

// Makes numbered values and remembers what it made and what was released.
class ValueFactory {
 public:
  MUnknown* operator()() {
    std::lock_guard<std::mutex> lock(mutex_);
    return new CountedUnknown(made_++, &released_);
  }
  int made() const { return made_; }
  std::vector<int> released() const { return released_; }

 private:
  std::mutex mutex_;
  int made_ = 0;
  std::vector<int> released_;
};

int IdOf(MUnknown* value) {
  return static_cast<CountedUnknown*>(value)->id();
}

TEST(ThreadValueListTest, OneValuePerThreadMadeOnFirstUse) {
  ThreadValueList list;
  ValueFactory factory;
  EXPECT_EQ(list.GetForCurrentThread(), nullptr);
  MUnknown* mine = list.GetOrCreate(std::ref(factory));
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(list.GetOrCreate(std::ref(factory)), mine);
  EXPECT_EQ(list.GetForCurrentThread(), mine);
  EXPECT_EQ(factory.made(), 1);

  MUnknown* theirs = nullptr;
  MUnknown* theirsBefore = reinterpret_cast<MUnknown*>(1);
  std::thread other([&] {
    theirsBefore = list.GetForCurrentThread();
    theirs = list.GetOrCreate(std::ref(factory));
  });
  other.join();
  EXPECT_EQ(theirsBefore, nullptr);
  ASSERT_NE(theirs, nullptr);
  EXPECT_NE(theirs, mine);
  EXPECT_EQ(list.GetForCurrentThread(), mine);
  EXPECT_EQ(factory.made(), 2);

  list.ReleaseAll();
  std::vector<int> released = factory.released();
  std::sort(released.begin(), released.end());
  EXPECT_EQ(released, (std::vector<int>{0, 1}));
  EXPECT_EQ(list.GetForCurrentThread(), nullptr);
}

TEST(ThreadValueListTest, ConcurrentFirstUseGivesEachThreadItsOwnStableValue) {
  ThreadValueList list;
  ValueFactory factory;
  constexpr int kThreads = 8;
  std::vector<int> ids(kThreads, -1);
  std::atomic<bool> unstable{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      MUnknown* first = list.GetOrCreate(std::ref(factory));
      for (int i = 0; i < 200; ++i) {
        if (list.GetOrCreate(std::ref(factory)) != first || list.GetForCurrentThread() != first) {
          unstable = true;
        }
      }
      ids[t] = IdOf(first);
    });
  }
  for (std::thread& th : threads)
    th.join();
  EXPECT_FALSE(unstable);
  EXPECT_EQ(factory.made(), kThreads);
  EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), static_cast<size_t>(kThreads));
  list.ReleaseAll();
  EXPECT_EQ(factory.released().size(), static_cast<size_t>(kThreads));
}

TEST(ThreadValueListTest, FailedCreationIsRetriedAndReentryGetsNull) {
  ThreadValueList list;
  EXPECT_EQ(list.GetOrCreate([]() -> MUnknown* { return nullptr; }), nullptr);
  EXPECT_EQ(list.GetForCurrentThread(), nullptr);

  std::vector<int> released;
  MUnknown* inner = reinterpret_cast<MUnknown*>(1);
  MUnknown* value = list.GetOrCreate([&]() -> MUnknown* {
    inner = list.GetOrCreate([]() -> MUnknown* { return new CountedUnknown(99, nullptr); });
    return new CountedUnknown(7, &released);
  });
  EXPECT_EQ(inner, nullptr);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(IdOf(value), 7);
  list.ReleaseAll();
  EXPECT_EQ(released, (std::vector<int>{7}));
}

TEST(ThreadValueListTest, ListIsUsableAgainAfterReleaseAll) {
  ThreadValueList list;
  ValueFactory factory;
  list.GetOrCreate(std::ref(factory));
  list.ReleaseAll();
  list.ReleaseAll();
  MUnknown* again = list.GetOrCreate(std::ref(factory));
  EXPECT_EQ(IdOf(again), 1);
  list.ReleaseAll();
  EXPECT_EQ(factory.released(), (std::vector<int>{0, 1}));
}

}  // namespace
}  // namespace vk2
