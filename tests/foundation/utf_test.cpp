#include "foundation/text/utf.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

std::u16string Wide(std::string_view bytes) {
  std::u16string out(Utf16LengthOfUtf8(bytes.data(), bytes.size()), u'\0');
  EXPECT_EQ(Utf8ToUtf16(bytes.data(), bytes.size(), out.data()), out.size());
  return out;
}

std::string Narrow(std::u16string_view units) {
  std::string out(Utf8LengthOfUtf16(units.data(), units.size()), '\0');
  EXPECT_EQ(Utf16ToUtf8(units.data(), units.size(), out.data()), out.size());
  return out;
}

TEST(Utf8ToUtf16, ValidAndInvalidBytes) {
  struct Case {
    const char* name;
    std::string_view bytes;
    std::u16string_view expected;
  };
  using namespace std::string_view_literals;
  const Case cases[] = {
      {"ascii", "plain text", u"plain text"},
      {"embedded zero", "a\0b"sv, u"a\0b"sv},
      {"two-byte", "caf\xC3\xA9", u"caf\u00E9"},
      {"three-byte", "\xE2\x82\xAC", u"\u20AC"},
      {"four-byte becomes a pair", "\xF0\x9F\x8E\xB5", u"\U0001F3B5"},
      {"largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"latin-1 byte alone", "caf\xE9", u"caf\u00E9"},
      {"latin-1 byte before ascii", "\xE9t\xE9", u"\u00E9t\u00E9"},
      {"lone continuation", "\x80", u"\u0080"},
      {"truncated sequence at end", "a\xE2\x82", u"a\u00E2\u0082"},
      {"truncated then valid", "\xE2\x82\xC3\xA9", u"\u00E2\u0082\u00E9"},
      {"overlong slash", "\xC0\xAF", u"\u00C0\u00AF"},
      {"overlong three-byte", "\xE0\x80\xAF", u"\u00E0\u0080\u00AF"},
      {"encoded surrogate", "\xED\xA0\x80", u"\u00ED\u00A0\u0080"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"},
      {"F5 lead", "\xF5\x80", u"\u00F5\u0080"},
      {"ascii run longer than a word then latin-1", "abcdefghijkl\xFF", u"abcdefghijkl\u00FF"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Wide(c.bytes), c.expected) << c.name;
}

TEST(Utf16ToUtf8, PairsJoinedAndLoneSurrogatesReplaced) {
  struct Case {
    const char* name;
    std::u16string_view units;
    std::string_view expected;
  };
  const Case cases[] = {
      {"ascii", u"abc", "abc"},
      {"two and three bytes", u"\u00E9\u20AC", "\xC3\xA9\xE2\x82\xAC"},
      {"pair", u"\U0001F3B5", "\xF0\x9F\x8E\xB5"},
      {"lone high", u"a\xD800z", "a\xEF\xBF\xBDz"},
      {"lone low", u"\xDC00", "\xEF\xBF\xBD"},
      {"reversed pair", u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"high at the end", u"x\xDBFF", "x\xEF\xBF\xBD"},
      {"U+FFFF", u"\xFFFF", "\xEF\xBF\xBF"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Narrow(c.units), c.expected) << c.name;
}

TEST(Utf8RoundTrip, EveryScalarValueSurvives) {
  std::u16string all;
  for (char32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x800 ? 1 : 37)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp < 0x10000) {
      all.push_back(static_cast<char16_t>(cp));
    } else {
      all.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      all.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  EXPECT_EQ(Wide(Narrow(all)), all);
}

TEST(StringConversions, MeasuredNotOneBytePerUnit) {
  // Three bytes per unit: a one-byte-per-unit reservation would overrun here.
  const TString wide(u"\u20AC\u20AC\u20AC\u20AC");
  const NarrowString narrow = FromWide(wide);
  EXPECT_EQ(narrow.Length(), 12u);
  EXPECT_EQ(std::string(narrow.view()), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  EXPECT_EQ(std::u16string(FromNarrowText(narrow.c_str()).view()), std::u16string(wide.view()));
}

TEST(StringConversions, AssignAppendAndPieces) {
  TString s;
  EXPECT_TRUE(AssignNarrow(s, "abc"));
  EXPECT_TRUE(AssignNarrow(s, "d\xC3\xA9", -1, false));
  EXPECT_EQ(std::u16string(s.view()), u"abcd\u00E9");
  EXPECT_TRUE(AssignNarrow(s, "xyz", 2));
  EXPECT_EQ(std::u16string(s.view()), u"xy");
  EXPECT_TRUE(AssignNarrow(s, nullptr, -1, false));
  EXPECT_EQ(s.Length(), 2u);
  EXPECT_TRUE(AssignNarrow(s, nullptr));
  EXPECT_EQ(s.RawPointer(), nullptr);

  EXPECT_EQ(std::u16string(FromNarrowParts("a", nullptr, "b", "\xE9").view()), u"ab\u00E9");
  EXPECT_EQ(std::u16string(FromNarrowString("abcdef", 3).view()), u"abc");
  EXPECT_EQ(std::u16string(FromNarrowString("ab", 10).view()), u"ab");  // stops at the zero
  EXPECT_EQ(std::u16string(Utf16("caf\xC3\xA9").view()), u"caf\u00E9");

  NarrowString n;
  EXPECT_TRUE(AssignWide(n, u"\u00E9t\u00E9"));
  EXPECT_EQ(std::string(n.view()), "\xC3\xA9t\xC3\xA9");
  EXPECT_TRUE(AssignWide(n, u"!", -1, false));
  EXPECT_EQ(std::string(n.view()), "\xC3\xA9t\xC3\xA9!");
  EXPECT_EQ(std::string(FromWideN(u"\U0001F3B5x", 1).view()), "\xEF\xBF\xBD");  // half a pair
  EXPECT_EQ(std::string(Utf8(TString(u"ok")).view()), "ok");
}

TEST(StringConversions, SharedTargetIsNotDisturbed) {
  TString a(u"keep");
  TString b(a);
  AssignNarrow(b, "more", -1, false);
  EXPECT_EQ(std::u16string(a.view()), u"keep");
  EXPECT_EQ(std::u16string(b.view()), u"keepmore");
  NarrowString c("keep");
  NarrowString d(c);
  AssignWide(d, u"new");
  EXPECT_STREQ(c.c_str(), "keep");
  EXPECT_STREQ(d.c_str(), "new");
}

}  // namespace
}  // namespace vk2
