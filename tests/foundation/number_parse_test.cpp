#include "foundation/text/number_parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vk2 {
namespace {

std::u16string Wide(const char* s) {
  return std::u16string(s, s + std::char_traits<char>::length(s));
}

TEST(ParseIntegerText, SaturatesLikeA32BitLong) {
  struct Case {
    const char* text;
    int32_t consumed;
    int32_t value;
  };
  const Case cases[] = {
      {"0", 1, 0},
      {"42", 2, 42},
      {"  -17x", 5, -17},
      {"+8", 2, 8},
      {"\t\n\v\f\r 5", 7, 5},
      {"2147483647", 10, INT32_MAX},
      {"2147483648", 10, INT32_MAX},
      {"99999999999", 11, INT32_MAX},
      {"-2147483648", 11, INT32_MIN},
      {"-2147483649", 11, INT32_MIN},
      {"-99999999999999999999999", 24, INT32_MIN},
      {"0x1F", 4, 31},
      {"0x7FFFFFFF", 10, INT32_MAX},
      {"0xFFFFFFFF", 10, INT32_MAX},
      {"0x", 1, 0},
      {"0xg", 1, 0},
      {"0X1F", 1, 0},   // only a lower-case "x" selects base 16
      {" 0x1F", 2, 0},  // and only at the very start
      {"", 0, 0},
      {"-", 0, 0},
      {"  ", 0, 0},
      {"abc", 0, 0},
      {"\xC2\xA0"
       "5",
       0, 0},  // no-break space is not white space
      {"1e5", 1, 1},
  };
  for (const Case& c : cases) {
    int32_t value = 777;
    EXPECT_EQ(ParseIntegerText(c.text, &value), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    value = 777;
    EXPECT_EQ(ParseIntegerText(Wide(c.text).c_str(), &value), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ParseUnsignedText, SaturatesAndNegatesLikeStrtoul) {
  struct Case {
    const char* text;
    int32_t consumed;
    uint32_t value;
  };
  const Case cases[] = {
      {"4294967295", 10, UINT32_MAX},
      {"4294967296", 10, UINT32_MAX},
      {"-1", 2, UINT32_MAX},
      {"-4294967295", 11, 1},
      {"-4294967296", 11, UINT32_MAX},
      {"18446744073709551617", 20, UINT32_MAX},
      {"0xFFFFFFFF", 10, UINT32_MAX},
      {"0x100000000", 11, UINT32_MAX},
      {"0x0000000000000001F", 19, 31},
      {" 12 ", 3, 12},
      {"", 0, 0},
      {"+", 0, 0},
  };
  for (const Case& c : cases) {
    uint32_t value = 777;
    EXPECT_EQ(ParseUnsignedText(c.text, &value), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    value = 777;
    EXPECT_EQ(ParseUnsignedText(Wide(c.text).c_str(), &value), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ReadInteger32, ExplicitBase16TakesOptionalPrefixAfterSign) {
  int32_t s = 0;
  EXPECT_EQ(ReadSigned32(" -0X1f", 16, &s), 6);
  EXPECT_EQ(s, -31);
  EXPECT_EQ(ReadSigned32("ff", 16, &s), 2);
  EXPECT_EQ(s, 255);
  uint32_t u = 0;
  EXPECT_EQ(ReadUnsigned32("-0x1", 16, &u), 4);
  EXPECT_EQ(u, UINT32_MAX);
  EXPECT_EQ(ReadUnsigned32("12", 7, &u), 0);  // only bases 10 and 16 are read
  EXPECT_EQ(ReadUnsigned32(static_cast<const char*>(nullptr), 10, &u), 0);
}

TEST(ParseNumberText, DecimalRealsAndHexIntegers) {
  struct Case {
    const char* text;
    int32_t consumed;
    double value;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"0", 1, 0.0},
      {"1.5", 3, 1.5},
      {"  -2.25e2x", 9, -225.0},
      {"+.5", 3, 0.5},
      {"5.", 2, 5.0},
      {".", 0, 0.0},
      {"-.e5", 0, 0.0},
      {"1e", 1, 1.0},
      {"1e+", 1, 1.0},
      {"1E-2", 4, 0.01},
      {"1.2.3", 3, 1.2},
      {"0x10", 4, 16.0},
      {"0xFFFFFFFF", 10, 4294967295.0},
      {"0x1p3", 3, 1.0},   // a hexadecimal integer; the "p3" is not part of it
      {"0X10", 1, 0.0},    // capital X: a decimal zero
      {" 0x1p3", 2, 0.0},  // not at the start: decimal, no hexadecimal real
      {"inf", 0, 0.0},
      {"-infinity", 0, 0.0},
      {"nan", 0, 0.0},
      {"NaN(1)", 0, 0.0},
      {"1,5", 1, 1.0},  // no locale: the comma ends the number
      {"1e400", 5, inf},
      {"-1e400", 6, -inf},
      {"1.7976931348623159e308", 22, inf},
      {"1e-400", 6, 0.0},
      {"0.000000000000000000000000000000001e-330", 40, 0.0},
      {"1000000000000000000000000000000e-330", 36, 1e-300},
      {"0e999999999999", 14, 0.0},
      {"4.9e-324", 8, 4.9406564584124654e-324},
      {"2.2250738585072011e-308", 23, 2.2250738585072011e-308},
      {"0.1", 3, 0.1},
      {"9007199254740993", 16, 9007199254740992.0},  // ties to even
      {"9007199254740993.0000000000000000000001", 39, 9007199254740994.0},
      {"123456789012345678901234567890", 30, 1.2345678901234568e29},
  };
  for (const Case& c : cases) {
    double value = 777;
    EXPECT_EQ(ParseNumberText(c.text, &value), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    value = 777;
    EXPECT_EQ(ParseNumberText(Wide(c.text).c_str(), &value), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  double negZero = 1;
  EXPECT_EQ(ParseNumberText("-0", &negZero), 2);
  EXPECT_TRUE(std::signbit(negZero));
  double underflow = 1;
  EXPECT_EQ(ParseNumberText("-1e-999", &underflow), 7);
  EXPECT_TRUE(std::signbit(underflow) && underflow == 0);
}

TEST(ParseNumberText, WideDigitsBeyondAsciiAreNotDigits) {
  double v = 777;
  EXPECT_EQ(ParseNumberText(u"\uFF11", &v), 0);   // fullwidth one
  EXPECT_EQ(ParseNumberText(u"1\u0661", &v), 1);  // Arabic-Indic one ends the number
  EXPECT_EQ(v, 1.0);
  // A wide unit whose low byte is a digit must not pass for one.
  EXPECT_EQ(ParseNumberText(u"1\u0135", &v), 1);
}

}  // namespace
}  // namespace vk2
