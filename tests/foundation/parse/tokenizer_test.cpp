#include "foundation/parse/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk2 {
namespace {

enum class SpecKind { kList, kKeyValue };

struct Row {
  SpecKind kind;
  std::u16string text;
  int32_t length;  // -1: to the terminator
  std::vector<std::u16string> expected;
  const char* note;
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << row.note;
}

std::vector<std::u16string> Tokens(const TArray<TString>& array) {
  std::vector<std::u16string> out;
  for (const TString& s : array)
    out.emplace_back(s.view());
  return out;
}

TokenizerSpec MakeSpec(SpecKind kind) {
  TokenizerSpec spec;
  if (kind == SpecKind::kList) {
    InitListSpec(&spec);
  } else {
    InitKeyValueSpec(&spec);
  }
  return spec;
}

class TokenizerTable : public ::testing::TestWithParam<Row> {};

TEST_P(TokenizerTable, Splits) {
  const Row& row = GetParam();
  // The terminator is not part of the text, so a walk past the end shows under ASan.
  std::vector<char16_t> text(row.text.begin(), row.text.end());
  text.push_back(0);
  TArray<TString> out;
  const int32_t n = TokenizeWide(text.data(), row.length, MakeSpec(row.kind), &out);
  EXPECT_EQ(n, static_cast<int32_t>(out.Count()));
  EXPECT_EQ(Tokens(out), row.expected);
}

constexpr auto kList = SpecKind::kList;
constexpr auto kKeyValue = SpecKind::kKeyValue;

INSTANTIATE_TEST_SUITE_P(
    Lists, TokenizerTable,
    ::testing::Values(
        Row{kList, u"a, b,c", -1, {u"a", u"b", u"c"}, "blank after comma is a separator"},
        Row{kList, u"a,,b", -1, {u"a", u"b"}, "no empty token between separators"},
        Row{kList, u"abc", -1, {u"abc"}, "one token"}, Row{kList, u"", -1, {}, "empty"},
        Row{kList, u"  \t ", -1, {}, "separators only"},
        Row{kList, u"\"a,b c\",d", -1, {u"a,b c", u"d"}, "separators inside quotes"},
        Row{kList, u"\"a\nb\",c", -1, {u"a\nb", u"c"}, "line end inside quotes"},
        Row{kList, u"a,b\nc", -1, {u"a", u"b"}, "line end stops"},
        Row{kList, u"abc,def", 5, {u"abc", u"d"}, "length limit"},
        Row{kList, u"abc", 0, {}, "length 0"},
        Row{kList, std::u16string(u"a\0b", 3), 3, {u"a"}, "NUL is a line end"},
        Row{kList,
            std::u16string(u"\"a\0b\"", 5),
            5,
            {std::u16string(u"a\0b", 3)},
            "NUL inside quotes within the length"},
        Row{kList, u"\"abc", -1, {u"abc"}, "unclosed quote ends at the terminator"},
        Row{kList, u"\"\",x", -1, {u"", u"x"}, "empty quoted token is kept"},
        Row{kList, u"\" \"", -1, {u""}, "quoted blank trims to empty"}));

INSTANTIATE_TEST_SUITE_P(
    Escapes, TokenizerTable,
    ::testing::Values(Row{kList, u"a\\,b,c", -1, {u"a\\,b", u"c"}, "escape stays in the token"},
                      Row{kList, u"\\,a", -1, {u"a"}, "escape does not start a token"},
                      Row{kList, u"\\\"a,b\"", -1, {u"a", u"b\""}, "escaped quote opens no run"},
                      Row{kList, u"\"a\\\"b\"", -1, {u"a\\\"b"}, "escaped quote inside a run"},
                      Row{kList, u"ab\\", -1, {u"ab\\"}, "trailing escape before the terminator"},
                      Row{kList, u"ab\\,c", 3, {u"ab\\"}, "trailing escape at the length limit"},
                      Row{kList, u"\\", -1, {u"\\"}, "escape alone"},
                      Row{kKeyValue, u"k=a\\#b", -1, {u"k", u"a\\#b"}, "escaped comment start"}));

INSTANTIATE_TEST_SUITE_P(
    QuoteCut, TokenizerTable,
    ::testing::Values(
        Row{kList, u"\"ab\"", -1, {u"ab"}, "closing quote at the end"},
        Row{kList, u"\"ab\" ,c", -1, {u"ab", u"c"}, "separator right after the quote"},
        // Two characters after the closing quote the cut has run out.
        Row{kList, u"\"ab\"c,d", -1, {u"ab\"c", u"d"}, "one character after the quote"},
        Row{kList, u"ab\"c d\"e", -1, {u"ab\"c d\""}, "quote inside a token"},
        // An escape pair does not count down the cut.
        Row{kList, u"\"ab\"\\x,", -1, {u"ab\"\\"}, "escape after the quote"}));

INSTANTIATE_TEST_SUITE_P(
    KeyValue, TokenizerTable,
    ::testing::Values(Row{kKeyValue,
                          u"key = \"two words\" # comment",
                          -1,
                          {u"key", u"two words"},
                          "quoted value and comment"},
                      Row{kKeyValue,
                          u"key=\"two words\"#c",
                          -1,
                          {u"key", u"two words"},
                          "comment right after the quote"},
                      Row{kKeyValue, u"key = value\r\n", -1, {u"key", u"value"}, "CR trimmed"},
                      Row{kKeyValue, u"\"a=b\" = c", -1, {u"a=b", u"c"}, "separator inside quotes"},
                      Row{kKeyValue, u"a=b=c", -1, {u"a", u"b", u"c"}, "every equals separates"},
                      Row{kKeyValue, u"# only a comment", -1, {}, "comment line"},
                      Row{kKeyValue, u"key =", -1, {u"key"}, "no value"},
                      Row{kKeyValue, u"key = ", -1, {u"key", u""}, "blank value trims to empty"}));

TEST(Tokenizer, NullTextEmptiesTheOutput) {
  TokenizerSpec spec;
  InitListSpec(&spec);
  TArray<TString> out;
  out.Append(TString(u"old"));
  EXPECT_EQ(TokenizeWide(nullptr, -1, spec, &out), 0);
  EXPECT_EQ(out.Count(), 0u);
  out.Append(TString(u"old"));
  EXPECT_EQ(TokenizeWide(u"x y", -1, spec, &out), 2);
  EXPECT_EQ(Tokens(out), (std::vector<std::u16string>{u"x", u"y"}));
}

TEST(Tokenizer, OutputGrowsTenAtATime) {
  TokenizerSpec spec;
  InitListSpec(&spec);
  TArray<TString> out(1);
  EXPECT_EQ(TokenizeWide(u"a b c d e f g h i j k", -1, spec, &out), 11);
  EXPECT_EQ(out.Capacity(), 20u);
}

TEST(Tokenizer, SpecWithoutNulStopsAtTheTerminator) {
  // A spec of the caller's own with no line ends: the terminator still ends the text.
  static const char16_t kSeparators[] = {u';'};
  TokenizerSpec spec;
  spec.separators = TokenizerChars{kSeparators, 1};
  TArray<TString> out;
  EXPECT_EQ(TokenizeWide(u"a; b", -1, spec, &out), 2);
  EXPECT_EQ(Tokens(out), (std::vector<std::u16string>{u"a", u" b"}));
}

}  // namespace
}  // namespace vk2
