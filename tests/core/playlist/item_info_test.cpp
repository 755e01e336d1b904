#include "core/playlist/item_info.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "core/playlist/shared_counter.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

ItemInfo FullRecord() {
  ItemInfo info;
  info.id = 17;
  info.revision = 9;
  info.SetUrl(u"file:///m/a.mp3");
  info.SetTitle(u"A");
  info.SetAuthor(u"B");
  info.SetDuration(215.5f, kDurationInfinite);
  info.tokens.Append({u"genre", u"rock"});
  info.Set(kTokensPresent | kIdPresent | kScanPresent);
  info.SetScan(kScanUnreadable);
  info.extra = true;
  return info;
}

TEST(ItemInfo, NewRecordCarriesNoMembers) {
  ItemInfo info;
  EXPECT_EQ(info.Presence(), 0u);
  EXPECT_TRUE(info.url.IsEmpty());
  EXPECT_EQ(info.tokens.Count(), 0u);
}

TEST(ItemInfo, CopyKeepsEveryMemberAndTheThreeBitValues) {
  const ItemInfo source = FullRecord();
  ItemInfo copy;
  copy = source;
  EXPECT_TRUE(SameItemContent(copy, source));
  EXPECT_EQ(copy.id, 17u);
  EXPECT_EQ(copy.revision, 9u);
  EXPECT_EQ(copy.GetDurationType(), 4u);
  EXPECT_EQ(copy.GetScan(), 4u);
  EXPECT_TRUE(copy.extra);
  ItemInfo constructed(source);
  EXPECT_TRUE(SameItemContent(constructed, source));
}

TEST(ItemInfo, CopyKeepsTheDestinationsOwnBits) {
  ItemInfo dest;
  dest.flags = 0x80000000u | kTitlePresent;
  ItemInfo source;
  source.SetUrl(u"x");
  dest = source;
  EXPECT_EQ(dest.flags, 0x80000000u | kUrlPresent);
}

TEST(ItemInfo, CopyOfEmptyTokensEmptiesTheDestination) {
  ItemInfo dest = FullRecord();
  ItemInfo source;
  source.SetUrl(u"y");
  dest = source;
  EXPECT_EQ(dest.tokens.Count(), 0u);
  EXPECT_FALSE(dest.Has(kTokensPresent));
}

TEST(ItemInfo, ClearPresenceKeepsTheValuesButDropsTheirMeaning) {
  ItemInfo info = FullRecord();
  info.ClearPresence();
  EXPECT_EQ(info.Presence(), 0u);
  EXPECT_EQ(info.GetDurationType(), 4u);
  EXPECT_EQ(info.GetScan(), 4u);
}

TEST(ItemInfo, TokensAreFoundWithoutRegardToCase) {
  ItemInfo info = FullRecord();
  ASSERT_NE(info.FindToken(u"GENRE"), nullptr);
  EXPECT_EQ(*info.FindToken(u"GENRE"), u"rock");
  EXPECT_EQ(info.FindToken(u"mood"), nullptr);
}

TEST(SharedCounter, HandsOutEveryIdOnceAcrossThreads) {
  auto* counter = new SharedCounter;
  counter->AddRef();
  constexpr int kThreads = 8;
  constexpr int kEach = 2000;
  std::vector<std::vector<uint32_t>> got(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i)
        got[t].push_back(counter->NextId());
    });
  }
  for (auto& t : threads)
    t.join();
  std::set<uint32_t> all;
  for (auto& ids : got)
    all.insert(ids.begin(), ids.end());
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(*all.begin(), 1u);
  EXPECT_EQ(*all.rbegin(), static_cast<uint32_t>(kThreads * kEach));
  EXPECT_EQ(counter->Release(), 0u);

  auto* fresh = new SharedCounter;
  fresh->AddRef();
  EXPECT_EQ(fresh->NextId(), 1u);
  fresh->Release();
}

TEST(SharedCounter, AnswersNoInterfaceNotEvenItsOwn) {
  auto* counter = new SharedCounter;
  counter->AddRef();
  void* out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(counter->QueryInterface(kIID_SharedCounter, &out), kErrNoInterface);
  EXPECT_EQ(out, reinterpret_cast<void*>(0x1));
  EXPECT_EQ(counter->AddRef(), 2u);
  EXPECT_EQ(counter->Release(), 1u);
  counter->Release();
}

}  // namespace
}  // namespace vk2
