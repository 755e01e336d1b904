#include <gtest/gtest.h>

#include <string>

#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

TEST(TStringPrintf, ReplaceAppendAndFormat) {
  TString s(u"old text");
  EXPECT_EQ(s.Printf(u"%d-%s", 5, u"x"), 3);
  EXPECT_EQ(std::u16string(s.view()), u"5-x");
  EXPECT_EQ(s.AppendPrintf(u"[%u]", 12u), 4);
  EXPECT_EQ(std::u16string(s.view()), u"5-x[12]");
  EXPECT_EQ(std::u16string(TString::Format(u"%s=%d", u"a", -1).view()), u"a=-1");
  EXPECT_EQ(std::string(NarrowString::Format("%s/%d", "n", 7).view()), "n/7");
}

TEST(TStringPrintf, ReplacesARangeAndMovesTheTail) {
  struct Case {
    int32_t pos;
    int32_t count;
    const char16_t* insert;
    const char16_t* expected;
  };
  const Case cases[] = {
      {1, 2, u"WXYZ", u"aWXYZdef"},  // grows: the tail moves right
      {1, 3, u"Z", u"aZef"},         // shrinks: the tail moves left
      {1, 1, u"Q", u"aQcdef"},       // same size
      {0, -1, u"all", u"all"},       // count -1: the whole length
      {-1, 0, u"!", u"abcdef!"},     // pos -1: the end
      {6, 0, u"!", u"abcdef!"},
      {3, -1, u"", u"abc"},
      // Out-of-range values are clamped instead of moving memory outside the block.
      {100, 0, u"!", u"abcdef!"},
      {-7, 2, u"!", u"abcdef!"},
      {4, 100, u"!", u"abcd!"},
      {2, -5, u"!", u"ab!"},
  };
  for (const Case& c : cases) {
    TString s(u"abcdef");
    const TString other(s);
    EXPECT_EQ(s.ReplacePrintf(c.pos, c.count, u"%s", c.insert),
              static_cast<int32_t>(std::char_traits<char16_t>::length(c.insert)));
    EXPECT_EQ(std::u16string(s.view()), c.expected) << c.pos << "," << c.count;
    EXPECT_EQ(std::u16string(other.view()), u"abcdef");  // the shared buffer is untouched
  }
}

TEST(TStringPrintf, ArgumentsMayReadTheStringItself) {
  TString s(u"abc");
  s.AppendPrintf(u"%s%s", s.c_str(), s.c_str());
  EXPECT_EQ(std::u16string(s.view()), u"abcabcabc");
  TString t(u"0123456789012345678901234567890123456789");
  t.Printf(u"%s", t.c_str() + 38);  // shrinks well below half the capacity
  EXPECT_EQ(std::u16string(t.view()), u"89");
  NarrowString n("xy");
  n.ReplacePrintf(0, 0, "%s", n.c_str());
  EXPECT_STREQ(n.c_str(), "xyxy");
}

TEST(TStringPrintf, EmptyFormatOnNullString) {
  TString s;
  EXPECT_EQ(s.AppendPrintf(u""), 0);
  EXPECT_EQ(s.Length(), 0u);
}

}  // namespace
}  // namespace vk2
