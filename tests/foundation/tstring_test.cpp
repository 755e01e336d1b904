#include "foundation/text/tstring.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace vk2 {
namespace {

std::u16string Str(const TString& s) {
  return std::u16string(s.view());
}

TEST(TStringBasics, NullStringIsEmptyAndReleaseIsHarmless) {
  TString s;
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.RawPointer(), nullptr);
  EXPECT_EQ(s.c_str()[0], u'\0');
  s.Release();
  s.Release();
  EXPECT_EQ(s.Length(), 0u);
  NarrowString n(static_cast<const char*>(nullptr));
  EXPECT_EQ(n.Length(), 0u);
  EXPECT_STREQ(n.c_str(), "");
}

TEST(TStringBasics, CopiesShareAndReleaseFreesOnce) {
  TString a(u"hello");
  TString b(a);
  TString c;
  c = b;
  EXPECT_EQ(a.RawPointer(), b.RawPointer());
  EXPECT_EQ(a.RawPointer(), c.RawPointer());
  a.Release();
  EXPECT_EQ(a.RawPointer(), nullptr);
  EXPECT_EQ(Str(b), u"hello");
  c = c;  // self-assignment keeps the text
  EXPECT_EQ(Str(c), u"hello");
  TString moved(std::move(b));
  EXPECT_EQ(b.RawPointer(), nullptr);
  EXPECT_EQ(moved.RawPointer(), c.RawPointer());
}

TEST(TStringBasics, AssignReplaceAppendAndMaximum) {
  struct Case {
    const char16_t* start;
    const char16_t* text;
    int32_t maximum;
    bool replace;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"abc", u"xyz", -1, true, u"xyz"},   {u"abc", u"xyz", -1, false, u"abcxyz"},
      {u"abc", u"xyz", 2, true, u"xy"},     {u"abc", u"xyz", 2, false, u"abcxy"},
      {u"abc", u"xyz", 10, true, u"xyz"},   {u"", u"xyz", -1, false, u"xyz"},
      {u"abc", nullptr, -1, false, u"abc"}, {u"abc", nullptr, -1, true, u""},
      {u"abc", u"", -1, false, u"abc"},
  };
  for (const Case& c : cases) {
    TString s(c.start);
    EXPECT_TRUE(s.Assign(c.text, c.maximum, c.replace));
    EXPECT_EQ(Str(s), c.expected) << "start " << std::string(s.Length(), 'x');
  }
}

TEST(TStringBasics, AssignWithMaximumZeroLeavesAllocatedEmptyString) {
  TString s(u"abc");
  ASSERT_TRUE(s.Assign(u"xyz", 0, true));
  EXPECT_NE(s.RawPointer(), nullptr);
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_EQ(s.c_str()[0], 0);
  TString n(u"abc");
  n.Assign(nullptr);
  EXPECT_EQ(n.RawPointer(), nullptr);
}

TEST(TStringBasics, AssignFromOwnCharactersIsSafe) {
  TString s(u"0123456789abcdefghij");
  s.Assign(s.c_str() + 15);  // shrinks below half: the block moves under the text
  EXPECT_EQ(Str(s), u"fghij");
  TString t(u"abc");
  t.Append(t);
  EXPECT_EQ(Str(t), u"abcabc");
  t.Append(t.c_str() + 1);  // growth reallocates while reading from the old block
  EXPECT_EQ(Str(t), u"abcabcbcabc");
}

TEST(TStringCow, WritingThroughOneHolderLeavesOthersUnchanged) {
  TString a(u"shared");
  TString b(a);
  TString c(a);
  b.Append(u"!");
  c.WritableData()[0] = u'S';
  EXPECT_EQ(Str(a), u"shared");
  EXPECT_EQ(Str(b), u"shared!");
  EXPECT_EQ(Str(c), u"Shared");
  EXPECT_NE(a.RawPointer(), b.RawPointer());
  EXPECT_NE(a.RawPointer(), c.RawPointer());

  TString d(a);
  ASSERT_TRUE(d.Reserve(3));  // shared and shorter: a fresh block with the first two characters
  EXPECT_EQ(Str(d), u"sh");
  EXPECT_EQ(Str(a), u"shared");
  TString e(a);
  ASSERT_TRUE(e.Reserve(10));
  EXPECT_EQ(std::u16string(e.c_str()), u"shared");
  EXPECT_EQ(e.Length(), 9u);
  EXPECT_EQ(Str(a), u"shared");
}

TEST(TStringCow, MakeUniqueCopiesOnlyWhenShared) {
  TString a(u"text");
  const char16_t* own = a.RawPointer();
  EXPECT_TRUE(a.MakeUnique());
  EXPECT_EQ(a.RawPointer(), own);
  TString b(a);
  EXPECT_TRUE(b.MakeUnique());
  EXPECT_NE(b.RawPointer(), own);
  EXPECT_EQ(Str(b), u"text");
}

TEST(TStringCow, SharedBufferAcrossThreads) {
  const TString source(u"a string shared by several threads");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&source, t] {
      for (int i = 0; i < 2000; ++i) {
        TString copy(source);
        if (i % 2) copy.Append(u"x");
        if (t % 2) copy.WritableData()[0] = u'A';
      }
    });
  }
  for (auto& th : threads)
    th.join();
  EXPECT_EQ(Str(source), u"a string shared by several threads");
}

TEST(TStringReserve, KeepsBlockBetweenHalfAndFullCapacity) {
  TString s;
  ASSERT_TRUE(s.Reserve(100));
  const char16_t* block = s.RawPointer();
  for (uint32_t n : {100u, 50u, 75u, 51u}) {
    ASSERT_TRUE(s.Reserve(n));
    EXPECT_EQ(s.RawPointer(), block) << n;
    EXPECT_EQ(s.Length(), n - 1);
    EXPECT_EQ(s.c_str()[n - 1], 0);
  }
}

// An allocator that counts, so tests can see every resize and free.
struct CountingAllocator {
  static inline int resizes = 0;
  static inline int frees = 0;
  static inline uint32_t lastBytes = 0;
  static int Allocate(void** chars, uint32_t bytes) {
    if (bytes == 0) {
      ++frees;
    } else {
      ++resizes;
      lastBytes = bytes;
    }
    return DefaultStringAllocator(chars, bytes);
  }
  static void Reset() { resizes = frees = 0; }
};

TEST(TStringReserve, GrowthDoublesAndShrinkGoesToExactNeed) {
  CountingAllocator::Reset();
  TString s;
  ASSERT_TRUE(s.Reserve(100, &CountingAllocator::Allocate));
  EXPECT_EQ(CountingAllocator::lastBytes, 100 * sizeof(char16_t));
  ASSERT_TRUE(s.Reserve(101));  // the block keeps its own allocator: doubled to 200
  EXPECT_EQ(CountingAllocator::resizes, 2);
  EXPECT_EQ(CountingAllocator::lastBytes, 200 * sizeof(char16_t));
  ASSERT_TRUE(s.Reserve(450));  // more than double: exactly the need
  EXPECT_EQ(CountingAllocator::lastBytes, 450 * sizeof(char16_t));
  ASSERT_TRUE(s.Reserve(224));  // below half: shrinks to exactly the need
  EXPECT_EQ(CountingAllocator::lastBytes, 224 * sizeof(char16_t));
  EXPECT_EQ(CountingAllocator::resizes, 4);
  s.Release();
  EXPECT_EQ(CountingAllocator::frees, 1);
}

TEST(TStringReserve, SharedCopyUsesGivenAllocatorAndLastHolderFrees) {
  CountingAllocator::Reset();
  TString a;
  a.Assign(u"abc", -1, true, &CountingAllocator::Allocate);
  TString b(a);
  ASSERT_TRUE(b.Reserve(8));  // the copy is made by the default allocator
  EXPECT_EQ(CountingAllocator::resizes, 1);
  EXPECT_EQ(Str(a), u"abc");
  b.Release();
  EXPECT_EQ(CountingAllocator::frees, 0);
  a.Release();
  EXPECT_EQ(CountingAllocator::frees, 1);
}

TEST(TStringReserve, ZeroReleasesTheString) {
  TString s(u"abc");
  TString shared(s);
  ASSERT_TRUE(s.Reserve(0));
  EXPECT_EQ(s.RawPointer(), nullptr);
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_EQ(Str(shared), u"abc");
  TString none;
  EXPECT_TRUE(none.Reserve(0));
  EXPECT_EQ(none.Length(), 0u);
}

TEST(TStringReserve, RefusesSizesTheBlockCannotHold) {
  TString s(u"abc");
  EXPECT_FALSE(s.Reserve(UINT32_MAX));
  EXPECT_EQ(Str(s), u"abc");
}

TEST(TStringReserve, FailingAllocatorLeavesStringUnchanged) {
  TString s(u"abc");
  TString refused;
  EXPECT_FALSE(refused.Reserve(4, [](void**, uint32_t) { return 0; }));
  EXPECT_EQ(refused.RawPointer(), nullptr);
  TString shared(s);
  EXPECT_FALSE(shared.Reserve(10, [](void**, uint32_t) { return 0; }));
  EXPECT_EQ(shared.RawPointer(), s.RawPointer());
}

TEST(TStringMid, CountsFromTheEndAndClamps) {
  struct Case {
    int32_t start;
    int32_t count;
    const char16_t* expected;
  };
  const Case cases[] = {
      {0, -1, u"abcdef"}, {2, -1, u"cdef"}, {2, 2, u"cd"},       {-1, -1, u""},
      {-3, -1, u"ef"},    {1, -2, u"bcde"}, {0, 100, u"abcdef"}, {10, 2, u""},
      {-100, 2, u"ab"},   {3, -100, u""},   {6, 1, u""},         {-7, -1, u"abcdef"},
  };
  const TString s(u"abcdef");
  for (const Case& c : cases) {
    EXPECT_EQ(Str(s.Mid(c.start, c.count)), c.expected) << c.start << "," << c.count;
  }
  EXPECT_EQ(s.Mid(0, -1).RawPointer(), s.RawPointer());
  EXPECT_EQ(TString().Mid(-5, 3).Length(), 0u);
}

TEST(TStringFind, TableOfCases) {
  struct Case {
    const char16_t* text;
    const char16_t* needle;
    bool caseSensitive;
    int32_t start;
    int32_t expected;
  };
  const Case cases[] = {
      {u"xxab", u"AB", false, 0, 2},
      {u"xxab", u"AB", true, 0, -1},
      {u"xxab", u"ab", true, 0, 2},
      {u"abab", u"ab", true, 1, 2},
      {u"abab", u"ab", true, 5, -1},
      {u"abab", u"ab", true, 4, -1},
      {u"", u"a", true, 0, -1},
      {u"abc", u"", true, 1, 1},
      {u"abc", u"abcd", true, 0, -1},
      {u"abc", u"c", true, -4, 2},
      {u"\u00C9a", u"\u00E9A", false, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TString(c.text).Find(c.needle, c.caseSensitive, c.start), c.expected)
        << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)).size();
  }
  EXPECT_EQ(TString(u"abc").Find(nullptr), -1);
  EXPECT_EQ(TString(u"a/b/c").FindChar(u'/', 2), 3);
  EXPECT_EQ(TString(u"a/b/c").FindChar(u'/', 9), -1);
}

TEST(TStringEquals, LengthsMustMatchAndCaseFoldsAsciiOnly) {
  const TString s(u"Hello");
  EXPECT_TRUE(s.Equals(u"Hello"));
  EXPECT_FALSE(s.Equals(u"hello"));
  EXPECT_TRUE(s.Equals(u"hello", false));
  EXPECT_FALSE(s.Equals(u"Hell"));
  EXPECT_FALSE(s.Equals(u"Hello!"));
  EXPECT_TRUE(s.Equals(u"Hello!", true, 5));
  EXPECT_TRUE(TString().Equals(static_cast<const char16_t*>(nullptr)));
  EXPECT_TRUE(TString().Equals(u""));
  EXPECT_FALSE(TString(u"\u00C4").Equals(u"\u00E4", false));
  EXPECT_TRUE(s == TString(u"Hello"));
  EXPECT_TRUE(TString(u"ABC").Equals(TString(u"abc"), false));
}

TEST(TStringParseUnsigned, Cases) {
  struct Case {
    const char16_t* text;
    int32_t consumed;
    uint32_t value;
  };
  const Case cases[] = {
      {u"0x1F", 4, 31},
      {u"0X1F", 1, 0},
      {u"123abc", 3, 123},
      {u"4294967295", 10, UINT32_MAX},
      {u"4294967296", 10, UINT32_MAX},
      {u"-1", 2, UINT32_MAX},
      {u"  42", 4, 42},
      {u"abc", 0, 0},
      {u"0xFFFFFFFFF", 11, UINT32_MAX},
      {u"0x", 1, 0},
  };
  for (const Case& c : cases) {
    uint32_t value = 777;
    EXPECT_EQ(TString(c.text).ParseUnsigned(&value), c.consumed);
    EXPECT_EQ(value, c.value);
  }
  uint32_t untouched = 777;
  EXPECT_EQ(TString().ParseUnsigned(&untouched), 0);
  EXPECT_EQ(untouched, 777u);
}

TEST(TStringBlank, IsNotBlankAndTrimmed) {
  struct Case {
    const char16_t* text;
    bool notBlank;
    const char16_t* trimmed;
  };
  const Case cases[] = {
      {u"", false, u""},  {u" \t\r\n", false, u""},     {u"  a b \n", true, u"a b"},
      {u"x", true, u"x"}, {u"\u00A0", true, u"\u00A0"}, {u"\v", true, u"\v"},
  };
  for (const Case& c : cases) {
    const TString s(c.text);
    EXPECT_EQ(s.IsNotBlank(), c.notBlank);
    EXPECT_EQ(Str(s.Trimmed()), c.trimmed);
  }
  const TString clean(u"clean");
  EXPECT_EQ(clean.Trimmed().RawPointer(), clean.RawPointer());
}

TEST(TStringAppend, ConcatAndOperators) {
  TString a(u"ab");
  const TString b = a.Concat(TString(u"cd"));
  EXPECT_EQ(Str(a), u"ab");
  EXPECT_EQ(Str(b), u"abcd");
  EXPECT_EQ(Str(b.ConcatText(u"e")), u"abcde");
  a += u'c';
  a += u"de";
  a += TString(u"f");
  a.AppendPart(u"ghijk", 2);
  a.AppendPart(u"xy", -1);
  EXPECT_EQ(Str(a), u"abcdefghxy");
  TString empty;
  empty.Append(b);
  EXPECT_EQ(empty.RawPointer(), b.RawPointer());  // appending to nothing shares
}

TEST(NarrowStringBasics, SameBehaviourForBytes) {
  NarrowString s("Hello");
  NarrowString t(s);
  t.Append(" world");
  EXPECT_STREQ(s.c_str(), "Hello");
  EXPECT_STREQ(t.c_str(), "Hello world");
  EXPECT_EQ(t.Find("WORLD", false), 6);
  EXPECT_EQ(std::string(t.Mid(-6).view()), "world");
  uint32_t v = 0;
  EXPECT_EQ(NarrowString("0x10").ParseUnsigned(&v), 4);
  EXPECT_EQ(v, 16u);
}

}  // namespace
}  // namespace vk2
