#include "foundation/containers/block_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "foundation/containers/entry_pool.h"

namespace vk2 {
namespace {

// Counts live records and carries a payload that must survive its neighbours' churn.
struct Tracked {
  static inline std::atomic<int> live{0};
  explicit Tracked(uint64_t v = 0) : value(v), check(~v) { ++live; }
  ~Tracked() {
    --live;
    value = check = 0xDEADDEADu;
  }
  bool Intact(uint64_t v) const { return value == v && check == ~v; }
  uint64_t value;
  uint64_t check;
};

// Small blocks so that a few dozen records cross many block boundaries.
using SmallPool = BlockPool<Tracked, 4, 3>;

// Orders in which a batch of records goes back to the pool.
using FreeOrder = std::function<std::vector<size_t>(size_t)>;

std::vector<size_t> Forward(size_t n) {
  std::vector<size_t> order(n);
  for (size_t i = 0; i < n; ++i)
    order[i] = i;
  return order;
}
std::vector<size_t> Backward(size_t n) {
  std::vector<size_t> order = Forward(n);
  std::reverse(order.begin(), order.end());
  return order;
}
// Evens first, then odds: every block stays partly used until the second pass.
std::vector<size_t> Interleaved(size_t n) {
  std::vector<size_t> order;
  for (size_t start : {0u, 1u}) {
    for (size_t i = start; i < n; i += 2)
      order.push_back(i);
  }
  return order;
}
// Whole blocks at a time, the middle ones first: spare blocks come and go.
std::vector<size_t> MiddleBlocksFirst(size_t n) {
  std::vector<size_t> order;
  for (size_t i = 8; i < n; ++i)
    order.push_back(i);
  for (size_t i = 0; i < std::min<size_t>(8, n); ++i)
    order.push_back(i);
  return order;
}

struct OrderCase {
  const char* name;
  FreeOrder order;
};

class BlockPoolOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(BlockPoolOrderTest, RecordsStayDistinctAndIntactWhileOthersComeAndGo) {
  SmallPool pool;
  constexpr size_t kCount = 37;  // nine full blocks and one partial
  std::vector<Tracked*> records;
  for (size_t i = 0; i < kCount; ++i)
    records.push_back(pool.Alloc(i));
  EXPECT_EQ(std::set<Tracked*>(records.begin(), records.end()).size(), kCount);

  // Free half in the given order, checking the survivors each time a block may have been freed.
  const std::vector<size_t> order = GetParam().order(kCount);
  std::vector<bool> freed(kCount);
  for (size_t k = 0; k < kCount / 2; ++k) {
    pool.Free(records[order[k]]);
    freed[order[k]] = true;
    for (size_t i = 0; i < kCount; ++i) {
      if (!freed[i]) {
        ASSERT_TRUE(records[i]->Intact(i)) << "record " << i << " after " << k;
      }
    }
  }
  // Refill, then release everything; the survivors must not have been handed out again.
  for (size_t i = 0; i < kCount; ++i) {
    if (freed[i]) records[i] = pool.Alloc(1000 + i);
  }
  EXPECT_EQ(std::set<Tracked*>(records.begin(), records.end()).size(), kCount);
  for (size_t i = 0; i < kCount; ++i) {
    EXPECT_TRUE(records[i]->Intact(freed[i] ? 1000 + i : i)) << i;
  }
  EXPECT_EQ(Tracked::live, static_cast<int>(kCount));
  for (size_t i : order)
    pool.Free(records[i]);
  EXPECT_EQ(Tracked::live, 0);
}

INSTANTIATE_TEST_SUITE_P(Orders, BlockPoolOrderTest,
                         testing::Values(OrderCase{"Forward", Forward},
                                         OrderCase{"Backward", Backward},
                                         OrderCase{"Interleaved", Interleaved},
                                         OrderCase{"MiddleBlocksFirst", MiddleBlocksFirst}),
                         [](const auto& info) { return info.param.name; });

TEST(BlockPoolTest, AllocFreeCyclesAtABlockBoundaryStayUsable) {
  SmallPool pool;
  std::vector<Tracked*> held;
  for (int i = 0; i < 4; ++i)
    held.push_back(pool.Alloc(i));  // exactly one full block
  for (int cycle = 0; cycle < 50; ++cycle) {
    Tracked* extra = pool.Alloc(99);  // opens a second block
    ASSERT_NE(extra, nullptr);
    EXPECT_TRUE(extra->Intact(99));
    pool.Free(extra);  // empties it again
    if (cycle % 10 == 9) pool.ReleaseSpareBlock();
  }
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(held[i]->Intact(i));
  for (Tracked* t : held)
    pool.Free(t);
  pool.ReleaseSpareBlock();
  pool.ReleaseSpareBlock();  // nothing left to release
  Tracked* again = pool.Alloc(5);
  EXPECT_TRUE(again->Intact(5));
  pool.Free(again);
  pool.Free(nullptr);
  EXPECT_EQ(Tracked::live, 0);
}

TEST(BlockPoolTest, ConcurrentAllocAndFreeFromManyThreads) {
  NodePool<Tracked> pool;
  constexpr int kThreads = 4;
  constexpr int kRounds = 300;
  std::atomic<bool> damaged{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<Tracked*> mine;
      for (int round = 0; round < kRounds; ++round) {
        const uint64_t tag = (static_cast<uint64_t>(t) << 32) | static_cast<uint64_t>(round);
        for (int i = 0; i < 7; ++i)
          mine.push_back(pool.Alloc(tag));
        // Keep some records across rounds so blocks are shared between threads.
        while (mine.size() > 40) {
          Tracked* r = mine.front();
          if (r->value >> 32 != static_cast<uint64_t>(t)) damaged = true;
          mine.erase(mine.begin());
          pool.Free(r);
        }
      }
      for (Tracked* r : mine)
        pool.Free(r);
    });
  }
  for (std::thread& th : threads)
    th.join();
  EXPECT_FALSE(damaged);
  EXPECT_EQ(Tracked::live, 0);
}

TEST(EntryPoolTest, AllocGivesAnEmptyKeyAndFreeReleasesIt) {
  EntryPool pool;
  std::vector<StringHashEntry*> entries;
  for (int i = 0; i < 300; ++i) {
    StringHashEntry* e = pool.Alloc();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->key.IsEmpty());
    EXPECT_EQ(e->value, 0u);
    e->key = TString(u"a key long enough to live on the heap");
    entries.push_back(e);
  }
  for (StringHashEntry* e : entries)
    pool.Free(e);  // leaks would show under ASan
  StringHashEntry* e = pool.Alloc();
  EXPECT_TRUE(e->key.IsEmpty());
  pool.Free(e);
}

}  // namespace
}  // namespace vk2
