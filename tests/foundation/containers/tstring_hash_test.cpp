#include "foundation/containers/tstring_hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vk2 {
namespace {

TString Key(int i) {
  return Utf16("key" + std::to_string(i));
}

// Every entry reached by Next, in order.
std::vector<StringHashEntry*> Walk(const TStringHash& table) {
  std::vector<StringHashEntry*> seen;
  for (StringHashEntry* e = table.Next(nullptr); e; e = table.Next(e)) {
    seen.push_back(e);
    if (seen.size() > table.Count()) break;  // a cycle would never end
  }
  return seen;
}

// Key text -> value over everything Next reaches; fails on a key seen twice.
std::map<std::u16string, uintptr_t> Contents(const TStringHash& table) {
  std::map<std::u16string, uintptr_t> contents;
  for (StringHashEntry* e : Walk(table)) {
    EXPECT_TRUE(contents.emplace(std::u16string(e->key.view()), e->value).second);
  }
  return contents;
}

TEST(TStringHashTest, BucketCountIsTheLargestPowerOfTwoNotAboveTheHint) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {0, 1},    {1, 1},     {2, 2},     {3, 2},      {32, 32},
      {100, 64}, {128, 128}, {255, 128}, {1000, 512}, {(1u << 16) + 5, 1u << 16},
  };
  for (auto [hint, buckets] : cases) {
    TStringHash table(hint, true);
    EXPECT_EQ(table.BucketCount(), buckets) << hint;
  }
}

struct CaseRow {
  bool caseSensitive;
  const char16_t* stored;
  const char16_t* asked;
  bool found;
};

TEST(TStringHashTest, CaseFlagDecidesWhetherKeysFoldAsciiLetters) {
  const CaseRow rows[] = {
      {false, u"Play", u"PLAY", true}, {true, u"Play", u"PLAY", false},
      {true, u"Play", u"Play", true},  {false, u"\u00e9t\u00e9", u"\u00c9T\u00c9", false},
      {false, u"a_b", u"A_B", true},   {false, u"Play", u"Pla", false},
      {false, u"", u"", true},
  };
  for (const CaseRow& r : rows) {
    SCOPED_TRACE(testing::Message() << Utf8(r.stored).c_str() << " / " << Utf8(r.asked).c_str()
                                    << (r.caseSensitive ? " sensitive" : " folded"));
    for (uint32_t hint : {1u, 64u}) {
      TStringHash table(hint, r.caseSensitive);
      table.Insert(u"other")->value = 1;
      table.Insert(r.stored)->value = 42;
      StringHashEntry* e = table.Find(TString(r.asked));
      ASSERT_EQ(e != nullptr, r.found);
      EXPECT_EQ(table.Find(r.asked), e);
      if (e) {
        EXPECT_EQ(e->value, 42u);
      }
      EXPECT_EQ(table.Remove(r.asked), r.found);
      EXPECT_EQ(table.Count(), r.found ? 1u : 2u);
    }
  }
}

TEST(TStringHashTest, InsertFindRemoveKeepCountAndContents) {
  for (uint32_t hint : {1u, 8u, 100u, 4096u}) {
    SCOPED_TRACE(hint);
    TStringHash table(hint, true);
    std::map<std::u16string, uintptr_t> expected;
    for (int i = 0; i < 200; ++i) {
      StringHashEntry* e = table.Insert(Key(i));
      ASSERT_NE(e, nullptr);
      e->value = static_cast<uintptr_t>(i) * 3;
      expected[std::u16string(Key(i).view())] = e->value;
    }
    for (int i = 0; i < 200; i += 3) {
      EXPECT_TRUE(table.Remove(Key(i)));
      EXPECT_FALSE(table.Remove(Key(i)));
      expected.erase(std::u16string(Key(i).view()));
    }
    EXPECT_EQ(table.Count(), expected.size());
    EXPECT_EQ(Contents(table), expected);
    for (int i = 0; i < 200; ++i) {
      StringHashEntry* e = table.Find(Key(i));
      ASSERT_EQ(e != nullptr, i % 3 != 0) << i;
      if (e) {
        EXPECT_EQ(e->value, static_cast<uintptr_t>(i) * 3);
      }
    }
    table.RemoveAll();
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(table.Next(nullptr), nullptr);
    EXPECT_EQ(table.Find(Key(1)), nullptr);
  }
}

TEST(TStringHashTest, RemovingABucketsOnlyEntryLetsIterationSkipIt) {
  TStringHash table(16, true);
  for (int i = 0; i < 6; ++i)
    table.Insert(Key(i))->value = static_cast<uintptr_t>(i);
  // Remove entries one at a time; whatever bucket they sat in, the walk must see the rest.
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(table.Remove(Key(i)));
    std::map<std::u16string, uintptr_t> expected;
    for (int j = i + 1; j < 6; ++j)
      expected[std::u16string(Key(j).view())] = static_cast<uintptr_t>(j);
    EXPECT_EQ(Contents(table), expected) << "after removing " << i;
  }
  EXPECT_EQ(table.Next(nullptr), nullptr);
}

TEST(TStringHashTest, OneBucketHoldsManyEntriesInInsertionOrder) {
  TStringHash table(1, false);
  std::vector<int> kept;
  for (int i = 0; i < 40; ++i) {
    table.Insert(Key(i))->value = static_cast<uintptr_t>(i);
    kept.push_back(i);
  }
  // Removing from the middle closes the gap and keeps the order of the rest.
  for (int i = 5; i < 35; i += 2) {
    ASSERT_TRUE(table.Remove(Key(i)));
    kept.erase(std::find(kept.begin(), kept.end(), i));
  }
  std::vector<int> walked;
  for (StringHashEntry* e : Walk(table))
    walked.push_back(static_cast<int>(e->value));
  EXPECT_EQ(walked, kept);
}

TEST(TStringHashTest, DuplicateKeysAreFoundFirstInsertedFirst) {
  TStringHash table(4, true);
  table.Insert(u"k")->value = 1;
  table.Insert(u"k")->value = 2;
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.Find(u"k")->value, 1u);
  EXPECT_TRUE(table.Remove(u"k"));
  EXPECT_EQ(table.Find(u"k")->value, 2u);
  EXPECT_TRUE(table.Remove(u"k"));
  EXPECT_EQ(table.Find(u"k"), nullptr);
}

TEST(TStringHashTest, RehashKeepsEveryEntryAndValue) {
  TStringHash table(2, false);
  int anchor = 0;
  for (int i = 0; i < 100; ++i)
    table.Insert(Key(i))->value = reinterpret_cast<uintptr_t>(&anchor) + i;
  const auto before = Contents(table);
  for (uint32_t hint : {256u, 1u, 33u}) {
    ASSERT_TRUE(table.Rehash(hint));
    EXPECT_EQ(table.BucketCount(), hint == 256 ? 256u : hint == 1 ? 1u : 32u);
    EXPECT_EQ(Contents(table), before);
    EXPECT_EQ(table.Find(u"KEY42")->value, reinterpret_cast<uintptr_t>(&anchor) + 42);
  }
}

TEST(TStringHashTest, TablesShareThePoolAndOutliveEachOther) {
  // Tables come and go in overlapping lifetimes; the shared pool is made by the first and
  // dropped with the last, then made again. ASan reports any entry that outlives its pool.
  for (int generation = 0; generation < 3; ++generation) {
    auto first = std::make_unique<TStringHash>(8, true);
    auto second = std::make_unique<TStringHash>(8, false);
    for (int i = 0; i < 300; ++i) {
      first->Insert(Key(i))->value = 1;
      second->Insert(Key(i))->value = 2;
    }
    first.reset();
    for (int i = 0; i < 300; ++i)
      ASSERT_EQ(second->Find(Key(i))->value, 2u);
    auto third = std::make_unique<TStringHash>(8, true);
    third->Insert(u"x");
    second.reset();
    EXPECT_NE(third->Find(u"x"), nullptr);
  }
}

}  // namespace
}  // namespace vk2
