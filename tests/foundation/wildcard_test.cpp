#include <gtest/gtest.h>

#include <string>

#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

TEST(WildcardCompare, Table) {
  struct Case {
    const char16_t* text;
    const char16_t* pattern;
    bool caseSensitive;
    int32_t limit;
    int expected;
  };
  const Case cases[] = {
      {u"Song.MP3", u"*.mp3", false, -1, 0},
      {u"Song.MP3", u"*.mp3", true, -1, 1},
      {u"abc", u"a?c", true, -1, 0},
      {u"abc", u"abcdef", true, -1, 1},
      {u"abc", u"abc", true, -1, 0},
      {u"abc", u"ab", true, -1, 1},
      {u"ab", u"abc", true, -1, 1},
      {u"", u"", true, -1, 0},
      {u"", u"*", true, -1, 0},
      {u"", u"?", true, -1, 1},
      {u"abc", u"*", true, -1, 0},
      {u"abc", u"a*", true, -1, 0},
      {u"abc", u"*c", true, -1, 0},
      {u"abc", u"*b", true, -1, 1},
      {u"abc", u"a*b*c", true, -1, 0},
      {u"axxbyyc", u"a*b*c", true, -1, 0},
      {u"abXbc", u"a*bc", true, -1, 0},
      {u"abcbc", u"a*bc*", true, -1, 0},
      {u"track01.ogg", u"track??.*", false, -1, 0},
      {u"track1.ogg", u"track??.*", false, -1, 1},
      {u"abc", u"a**c", true, -1, 0},
      {u"xaybzc", u"*a?b*c", true, -1, 0},
      // The last segment is aligned with the end, but never before text already matched.
      {u"ab", u"ab*b", true, -1, 1},
      {u"abb", u"ab*b", true, -1, 0},
      {u"aXa", u"a*a", true, -1, 0},
      {u"a", u"a*a", true, -1, 1},
      // "*" in the pattern is a wildcard even where the text has a "*".
      {u"*ab", u"*b", true, -1, 0},
      {u"a*c", u"a?c", true, -1, 0},
      // A pattern more than two characters longer than the text never matches.
      {u"a", u"a**", true, -1, 0},
      {u"a", u"a***", true, -1, 1},
      // A limit cuts the text.
      {u"abcdef", u"abc", true, 3, 0},
      {u"abcdef", u"*c", true, 3, 0},
      {u"abcdef", u"abcd", true, 3, 1},
      {u"abc", u"abc", true, 10, 0},
      {u"abc", u"", true, 0, 0},
      {u"\u00C4x", u"\u00E4X", false, -1, 1},  // case folds ASCII only
      {u"\u00C4x", u"\u00C4X", false, -1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardCompare(c.text, c.pattern, c.caseSensitive, c.limit), c.expected)
        << "text " << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text))
        << " pattern "
        << std::string(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern));
  }
}

TEST(WildcardCompare, NullsAsInCompare) {
  const char16_t* same = u"x";
  EXPECT_EQ(WildcardCompare(same, same), 0);
  EXPECT_EQ(WildcardCompare(nullptr, u"*"), 1);
  EXPECT_EQ(WildcardCompare(u"a", nullptr), -1);
}

TEST(TextCompare, NullsOrderAndFolding) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    bool caseSensitive;
    int32_t n;
    int sign;
  };
  const Case cases[] = {
      {nullptr, u"a", true, -1, 1},
      {u"a", nullptr, true, -1, -1},
      {u"abc", u"abc", true, -1, 0},
      {u"abc", u"abd", true, -1, -1},
      {u"abd", u"abc", true, -1, 1},
      {u"ab", u"abc", true, -1, -1},
      {u"ABC", u"abc", false, -1, 0},
      {u"ABC", u"abc", true, -1, -1},
      {u"abcX", u"abcY", true, 3, 0},
      {u"a", u"b", true, 0, 0},
      // Folding goes to lower case, so "_" (0x5F) sorts before "A" (read as "a", 0x61).
      {u"_", u"A", false, -1, -1},
      {u"\u00E9", u"\u00C9", false, -1, 1},
      {u"\xFFFF", u"a", true, -1, 1},
  };
  for (const Case& c : cases) {
    const int r = WideCompare(c.a, c.b, c.caseSensitive, c.n);
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
  }
  EXPECT_EQ(WideCompare(nullptr, nullptr), 0);
  EXPECT_LT(NarrowCompare("a", "\xE9"), 0);  // bytes compare as unsigned
  EXPECT_EQ(NarrowCompare("HeLLo", "hello", false), 0);
  EXPECT_EQ(NarrowCompare(nullptr, "a"), 1);
  EXPECT_EQ(CompareWideNarrow(u"caf\u00E9", "CAF\xC3\xA9", false), 0);
  EXPECT_NE(CompareWideNarrow(u"caf\u00E9", "caf\xC3\xA9x"), 0);
  EXPECT_EQ(CompareWideNarrow(nullptr, "a"), 1);
  EXPECT_EQ(CompareWideNarrow(u"a", nullptr), -1);
}

TEST(ElfHash, KnownValuesAndFolding) {
  EXPECT_EQ(ElfHash(u"", false), 0u);
  EXPECT_EQ(ElfHash(nullptr, false), 0u);
  EXPECT_EQ(ElfHash(u"a", false), 0x61u);
  EXPECT_EQ(ElfHash(u"ab", false), 0x61u * 16 + 0x62u);
  // Long keys push bits into the top nibble, which is cleared and folded back in.
  EXPECT_EQ(ElfHash(u"abcdefghijklmnop", false), 0x0BB9A310u);
  EXPECT_EQ(ElfHash(u"Volume.Main", true), ElfHash(u"volume.main", false));
  EXPECT_NE(ElfHash(u"Volume", false), ElfHash(u"volume", false));
  EXPECT_NE(ElfHash(u"\u00C9", true), ElfHash(u"\u00E9", true));
  // Keys equal under the case-insensitive compare hash the same.
  const char16_t* keys[][2] = {{u"KEY_1", u"key_1"}, {u"[Section]", u"[sECTION]"}};
  for (auto& k : keys) {
    ASSERT_TRUE(TString(k[0]).Equals(k[1], false));
    EXPECT_EQ(ElfHash(k[0], true), ElfHash(k[1], true));
  }
}

}  // namespace
}  // namespace vk2
