// The lexer: text to (kind, text) rows, and the token cache that shares them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/lang/lexer.h"
#include "script/lang/token_cache.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

std::string Tokens(const std::string& source) {
  TString text = Utf16(source);
  Lexer lexer(text);
  std::string out;
  for (int i = 0; i < 64; ++i) {
    lexer.Advance();
    const Token& token = lexer.Current();
    if (token.kind == kTokEnd) break;
    if (!out.empty()) out += " ";
    out += std::to_string(token.kind) + ":" + Narrow(token.text);
    if (token.kind == kTokError) break;
  }
  return out;
}

struct LexCase {
  const char* source;
  const char* tokens;
};

class LexerTableTest : public ::testing::TestWithParam<LexCase> {};

TEST_P(LexerTableTest, Lexes) {
  EXPECT_EQ(Tokens(GetParam().source), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, LexerTableTest,
    ::testing::Values(
        LexCase{"0x1F 12abc 1.2.3 1e5 .5", "0:0x1F 0:12abc 0:1.2.3 0:1e5 0:.5"},
        LexCase{"1e-5", "0:1e 32:- 0:5"}, LexCase{"0X10", "0:0X10"},
        LexCase{"#0000ABCD #0000abcd", "0:#0000ABCD 0:#0000abcd"},
        LexCase{"#12345", "57:Improper UID symbol '#12345'"},
        LexCase{"#123456789", "57:Improper UID symbol '#123456789'"},
        LexCase{"name : 1", "21:name 0:1"}, LexCase{"name:", "21:name"},
        LexCase{"\"lit\": 1", "21:lit 0:1"}, LexCase{"\"lit\" : 1", "0:lit 17:: 0:1"},
        LexCase{"x ::y", "21:x 17:: 5:y"}, LexCase{"::y :y", "2::: 21:y 5:y"},
        LexCase{"true TRUE false", "0:true 5:TRUE 0:false"}, LexCase{"a // comment\nb", "5:a 5:b"},
        LexCase{"a /* x\n y */ b", "5:a 5:b"}, LexCase{"/* open", "57:Unterminated comment."},
        LexCase{"\"a\\\"b\\n\\t\\r\\\\\\q\"", "0:a\"b\n\t\n\\q"},
        LexCase{"\"open", "57:Unterminated \"literal\" - \"\"open\""},
        LexCase{"$x $1 $_a", "6:x 6:1 6:_a"},
        LexCase{"$ x", "57:$ must be followed by a number or letter"},
        LexCase{"& ^ ~ ? ' @", "57:Unrecognized symbol '&'"},
        LexCase{"\xc3\xa9", "57:Unrecognized symbol '\xc3\xa9'"},
        LexCase{"\"\xf0\x9f\x8e\xb5\"", "0:\xf0\x9f\x8e\xb5"}, LexCase{"||", "33:| 33:|"},
        LexCase{
            "( ) { } [ ] , ; . = == != > >= < <=",
            "9:( 10:) 11:{ 12:} 13:[ 14:] 8:, 15:; 16:. 20:= 22:== 23:!= 24:> 25:>= 26:< 27:<="},
        LexCase{
            "+ - | * / % ! ++ -- += -= *= /= %= |=",
            "31:+ 32:- 33:| 34:* 35:/ 36:% 37:! 38:++ 39:-- 40:+= 41:-= 42:*= 43:/= 44:%= 45:|="},
        LexCase{"if else foreach for in step to while return this parent",
                "46:if 47:else 48:foreach 49:for 50:in 51:step 52:to 53:while 54:return "
                "55:this 56:parent"},
        LexCase{"and or xor gt gte lt lte And",
                "28:and 29:or 30:xor 24:gt 25:gte 26:lt 27:lte 5:And"},
        LexCase{"foreachx iff _", "5:foreachx 5:iff 5:_"}));

TEST(LexerTest, EmptyTextIsAnError) {
  Lexer lexer(TString{});
  lexer.Advance();
  EXPECT_EQ(lexer.Current().kind, kTokError);
  EXPECT_EQ(Narrow(lexer.Current().text), "Empty script");
}

TEST(LexerTest, PositionsFollowWhatWasRead) {
  Lexer lexer(u"ab  = \"x\"  ;");
  lexer.Advance();
  // A name takes the blanks after it.
  EXPECT_EQ(lexer.Current().end, 4u);
  lexer.Advance();
  EXPECT_EQ(lexer.Current().end, 5u);
  lexer.Advance();
  EXPECT_EQ(lexer.Current().end, 9u);
  lexer.Advance();
  EXPECT_EQ(lexer.Current().end, 12u);
  lexer.Advance();
  EXPECT_EQ(lexer.Current().kind, kTokEnd);
  EXPECT_EQ(lexer.Current().end, 12u);
  lexer.SetPosition(0);
  lexer.Advance();
  EXPECT_EQ(Narrow(lexer.Current().text), "ab");
}

TEST(LexerTest, NulEndsTheText) {
  TString text(std::u16string_view(u"a\0b", 3));
  Lexer lexer(text);
  lexer.Advance();
  lexer.Advance();
  EXPECT_EQ(lexer.Current().kind, kTokEnd);
}

TEST(TokenCacheTest, SameTextSharesOneList) {
  TString a = u"$x = 1 + 2;";
  TString b = Utf16("$x = 1 + 2;");  // equal characters, another buffer
  auto first = CachedTokens(a);
  EXPECT_EQ(CachedTokens(a), first);
  EXPECT_EQ(CachedTokens(b), first);
  ASSERT_GE(first->tokens.size(), 2u);
  EXPECT_EQ(first->tokens.back().kind, kTokEnd);
  // Value tokens carry their number, read once.
  EXPECT_TRUE(first->tokens[2].isNumber);
  EXPECT_EQ(first->tokens[2].number, 1.0);
  ClearTokenCache();
  EXPECT_NE(CachedTokens(a), first);
}

TEST(TokenCacheTest, EachOpenBraceKnowsItsMatchingBrace) {
  // Tokens: {0 {1 }2 {3 "1"4 }5 }6, a stray }7, then {8 left open, and the end.
  auto list = LexAll(u"{ { } { 1 } } } {");
  ASSERT_EQ(list->tokens.size(), 10u);
  const uint32_t expected[] = {6,
                               2,
                               kNoMatchingBrace,
                               5,
                               kNoMatchingBrace,
                               kNoMatchingBrace,
                               kNoMatchingBrace,
                               kNoMatchingBrace,
                               kNoMatchingBrace};
  for (uint32_t i = 0; i < 9; ++i) {
    EXPECT_EQ(list->tokens[i].matchingBrace, expected[i]) << "token " << i;
  }
  // A bad token ends the list, so braces after it match nothing.
  auto cut = LexAll(u"{ & }");
  EXPECT_EQ(cut->tokens[0].matchingBrace, kNoMatchingBrace);
}

}  // namespace
}  // namespace vk2::test
