#include "foundation/format/formatter.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace vk2 {
namespace {

using Args = std::vector<FormatArg>;

template <class... A>
Args MakeArgs(const A&... a) {
  return Args{MakeFormatArg(a)...};
}

std::string FormatN(const char* format, const Args& args) {
  const int32_t n = FormatNarrowArgs(nullptr, 0, format, args);
  std::string out(static_cast<size_t>(n) + 1, '\x7f');
  const int32_t written = FormatNarrowArgs(out.data(), n + 1, format, args);
  EXPECT_EQ(written, n) << "measure and format disagree for " << format;
  EXPECT_EQ(out[n], '\0') << format;
  out.resize(n);
  return out;
}

std::u16string Widen(const std::string& s) {
  std::u16string w;
  for (unsigned char c : s)
    w += static_cast<char16_t>(c);
  return w;
}

std::u16string FormatW(const std::u16string& format, const Args& args) {
  const int32_t n = FormatWideArgs(nullptr, 0, format.c_str(), args);
  std::u16string out(static_cast<size_t>(n) + 1, u'\x7f');
  const int32_t written = FormatWideArgs(out.data(), n + 1, format.c_str(), args);
  EXPECT_EQ(written, n);
  EXPECT_EQ(out[n], u'\0');
  out.resize(n);
  return out;
}

// The same row through the wide engine: %s and %S trade places with the text widths, so every
// narrow text argument becomes wide text and the other way round.
struct Mirror {
  std::vector<std::u16string> wide;
  std::vector<std::string> narrow;
  Args args;
  explicit Mirror(const Args& in) {
    wide.reserve(in.size());
    narrow.reserve(in.size());
    for (FormatArg a : in) {
      if (a.kind == FormatArg::Kind::kNarrowText && a.narrow) {
        wide.push_back(Widen(a.narrow));
        a = MakeFormatArg(wide.back().c_str());
      } else if (a.kind == FormatArg::Kind::kNarrowText) {
        a = MakeFormatArg(static_cast<const char16_t*>(nullptr));
      } else if (a.kind == FormatArg::Kind::kWideText && a.wide) {
        std::string s;
        for (const char16_t* p = a.wide; *p; ++p)
          s += static_cast<char>(*p);
        narrow.push_back(s);
        a = MakeFormatArg(narrow.back().c_str());
      } else if (a.kind == FormatArg::Kind::kWideText) {
        a = MakeFormatArg(static_cast<const char*>(nullptr));
      }
      args.push_back(a);
    }
  }
};

struct Row {
  const char* format;
  Args args;
  std::string expected;
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << '"' << row.format << "\" gives \"" << row.expected << '"';
}

class FormatterTable : public ::testing::TestWithParam<Row> {};

TEST_P(FormatterTable, NarrowAndWideAgree) {
  const Row& row = GetParam();
  EXPECT_EQ(FormatN(row.format, row.args), row.expected) << row.format;
  Mirror mirror(row.args);
  EXPECT_EQ(FormatW(Widen(row.format), mirror.args), Widen(row.expected)) << row.format;
}

const int kSomething = 0;
const void* const kPointer = reinterpret_cast<const void*>(uintptr_t{0x1234});

INSTANTIATE_TEST_SUITE_P(
    Integers, FormatterTable,
    ::testing::Values(
        Row{"%d", MakeArgs(42), "42"}, Row{"%i", MakeArgs(-42), "-42"},
        Row{"%5d|", MakeArgs(42), "   42|"}, Row{"%-5d|", MakeArgs(42), "42   |"},
        Row{"%05d", MakeArgs(42), "00042"}, Row{"%05d", MakeArgs(-42), "-0042"},
        // The padding character serves the trailing padding of a left-justified field too.
        Row{"%-05d", MakeArgs(42), "42000"}, Row{"%+d", MakeArgs(42), "+42"},
        Row{"% d", MakeArgs(42), " 42"}, Row{"%+ d", MakeArgs(5), "+5"},
        Row{"%+d", MakeArgs(-1), "-1"}, Row{"%+u % x", MakeArgs(42, 255), "42 ff"},
        Row{"%.5d", MakeArgs(42), "00042"}, Row{"%8.5d|", MakeArgs(-42), "  -00042|"},
        Row{"%08.5d", MakeArgs(-42), "-0000042"}, Row{"%.0d %.d", MakeArgs(0, 0), "0 0"},
        Row{"%d", MakeArgs(std::numeric_limits<int32_t>::min()), "-2147483648"},
        Row{"%u", MakeArgs(-1), "4294967295"}, Row{"%d", MakeArgs(4294967295u), "-1"},
        Row{"%d", MakeArgs(int64_t{0x100000005}), "5"}, Row{"%hd", MakeArgs(-1), "65535"},
        Row{"%hd", MakeArgs(0x12345), "9029"}, Row{"%hu", MakeArgs(70000), "4464"},
        Row{"%hx", MakeArgs(-1), "ffff"}, Row{"%ld %lu", MakeArgs(-7, 7u), "-7 7"},
        Row{"%o %#o", MakeArgs(8, 8), "10 o10"},
        Row{"%x %X %#x %#X", MakeArgs(255, 255, 255, 255), "ff FF 0xff 0XFF"},
        Row{"%#x", MakeArgs(0), "0x0"},
        // The prefix does not count against the width.
        Row{"%#6x", MakeArgs(255), "    0xff"}, Row{"%#06x", MakeArgs(255), "0x0000ff"},
        Row{"%-#6x|", MakeArgs(255), "0xff    |"}, Row{"%#.4x", MakeArgs(255), "0x00ff"},
        Row{"%#d %#u", MakeArgs(5, 5), "5 5"}, Row{"%x", MakeArgs(char{'A'}), "41"},
        Row{"%d", MakeArgs(true), "1"}, Row{"%c%C", MakeArgs('A', 66), "AB"},
        Row{"%5c|", MakeArgs('A'), "A|"}));

INSTANTIATE_TEST_SUITE_P(
    Pointers, FormatterTable,
    ::testing::Values(Row{"%p", MakeArgs(kPointer), "0000000000001234"},
                      Row{"%#p", MakeArgs(kPointer), "0X0000000000001234"},
                      Row{"%p", MakeArgs(nullptr), "0000000000000000"},
                      Row{"%p", MakeArgs(uint64_t{0xDEADBEEFCAFEBABE}), "DEADBEEFCAFEBABE"},
                      Row{"%20p|", MakeArgs(kPointer), "    0000000000001234|"},
                      Row{"%x", MakeArgs(kPointer), ""}));

INSTANTIATE_TEST_SUITE_P(
    WidthAndPrecision, FormatterTable,
    ::testing::Values(
        // Both fields are kept modulo 1024.
        Row{"%1030d|", MakeArgs(1), "     1|"}, Row{"%1024d|", MakeArgs(1), "1|"},
        Row{"%.1029d", MakeArgs(7), "00007"}, Row{"%*d|", MakeArgs(5, 42), "   42|"},
        Row{"%*d", MakeArgs(1029, 42), "   42"}, Row{"%.*d", MakeArgs(4, 7), "0007"},
        Row{"%*.*d|", MakeArgs(6, 3, 7), "   007|"}, Row{"%0*d", MakeArgs(5, 42), "00042"},
        // Digits after "*" go on building the width; "*" after a width digit is ignored and
        // takes no argument; digits after the size letter are ignored.
        Row{"%*5d|", MakeArgs(0, 7), "    7|"}, Row{"%5*d|", MakeArgs(7), "    7|"},
        Row{"%h5d|", MakeArgs(42), "42|"},
        // A second "." is ignored; its digits go on building the precision.
        Row{"%.2.5d", MakeArgs(7), "0000000000000000000000007"},
        // A "*" argument that is not an integer spoils its conversion, which still takes its own
        // argument.
        Row{"%*d|%d", MakeArgs(1.5, 42, 7), "|7"}, Row{"%.*d|", MakeArgs(42), "|"}));

INSTANTIATE_TEST_SUITE_P(
    Specifications, FormatterTable,
    ::testing::Values(Row{"100%%", {}, "100%"}, Row{"%5%|", {}, "%|"},
                      Row{"a%yb", MakeArgs(1), "ab"}, Row{"abc%", {}, "abc"},
                      Row{"%5", MakeArgs(1), ""}, Row{"%d %d|", MakeArgs(1), "1 |"},
                      // %n is not supported: it takes no argument and prints nothing.
                      Row{"%n%d", MakeArgs(5), "5"}, Row{"%n", MakeArgs(&kSomething), ""},
                      // A wrong argument type prints nothing for that conversion.
                      Row{"%d|%f|%s|%c|%d", MakeArgs(1.5, 1, 2, 1.0, 9), "||||9"}));

INSTANTIATE_TEST_SUITE_P(
    Strings, FormatterTable,
    ::testing::Values(
        Row{"%s", MakeArgs("abc"), "abc"}, Row{"%5.2s", MakeArgs("abcdef"), "   ab"},
        Row{"%.10s|", MakeArgs("abc"), "       abc|"}, Row{"%-6s|", MakeArgs("ab"), "ab    |"},
        Row{"%06s", MakeArgs("ab"), "0000ab"}, Row{"%.0s", MakeArgs("abc"), "abc"},
        Row{"%2s", MakeArgs("abcdef"), "abcdef"}, Row{"%s", MakeArgs(""), ""},
        Row{"%s|%S", MakeArgs(nullptr, nullptr), "(null)|(null)"},
        Row{"%s", MakeArgs(static_cast<const char*>(nullptr)), "(null)"},
        Row{"%S", MakeArgs(static_cast<const char16_t*>(nullptr)), "(null)"},
        Row{"%.3s", MakeArgs(nullptr), "(nu"}, Row{"%S", MakeArgs(u"wide"), "wide"},
        // %s is the engine's own width and %S the other one; a mismatch prints nothing.
        Row{"%s|%S", MakeArgs(u"x", "y"), "|"}));

INSTANTIATE_TEST_SUITE_P(
    Doubles, FormatterTable,
    ::testing::Values(
        Row{"%f", MakeArgs(1.5), "1.5"}, Row{"%#f", MakeArgs(1.5), "1.500000"},
        Row{"%g", MakeArgs(100000000.0), "1e+008"}, Row{"%g", MakeArgs(0.0000001), "0"},
        Row{"%f %e %g", MakeArgs(0.0, 0.0, 0.0), "0 0e+000 0"},
        Row{"%#e", MakeArgs(0.0), "0.000000e+000"}, Row{"%e", MakeArgs(1.5), "1.5e+000"},
        Row{"%E", MakeArgs(12345.678), "1.234568E+004"},
        // Below 1 the exponent stays 0 and the exponent form shows a leading 0 digit.
        Row{"%e", MakeArgs(0.5), "0.5e+000"}, Row{"%e", MakeArgs(0.0000001), "0e+000"},
        Row{"%.3f", MakeArgs(0.0005), "0.001"}, Row{"%f", MakeArgs(-1.25), "-1.25"},
        Row{"%f", MakeArgs(0.1f), "0.1"},
        // Rounding carries into new integer digits and into the exponent.
        Row{"%.2f", MakeArgs(9.9999999), "10"}, Row{"%#.2f", MakeArgs(9.9999999), "10.00"},
        Row{"%.3e", MakeArgs(9.9996), "1e+001"}, Row{"%#.3e", MakeArgs(9.9996), "1.000e+001"},
        Row{"%e", MakeArgs(0.9999999), "1e+000"}, Row{"%.0f", MakeArgs(0.5), "1"},
        // Decimal halves round up.
        Row{"%.1f %.1f %.2f %.0f", MakeArgs(0.25, 0.15, 2.675, 2.5), "0.3 0.2 2.68 3"},
        // Powers of ten and the edges around them.
        Row{"%f %g %e", MakeArgs(1000.0, 1000.0, 1000.0), "1000 1000 1e+003"},
        Row{"%f %g %e", MakeArgs(1e6, 1e6, 1e6), "1000000 1e+006 1e+006"},
        Row{"%g %g", MakeArgs(999999.0, 100000.0), "999999 100000"},
        Row{"%g|%e|%.5e", MakeArgs(999999.5, 999999.5, 999999.5), "1000000|9.999995e+005|1e+006"},
        Row{"%g %e", MakeArgs(1e308, 1e308), "1e+308 1e+308"},
        Row{"%g %G", MakeArgs(1e-308, 1e10), "0 1E+010"},
        Row{"%g", MakeArgs(DBL_MAX), "1.79769e+308"},
        Row{"%g %g %g", MakeArgs(0.0001234, 123456.0, 1234567.0), "0.00012 123456 1.23457e+006"},
        Row{"%.0g %.0g", MakeArgs(0.5, 123.0), "1e+000 1e+002"},
        Row{"%.3g %.3g", MakeArgs(1234.5, 99.96), "1.23e+003 100"},
        Row{"%#g %#.3g", MakeArgs(1.5, 1e10), "1.50000 1.00e+010"},
        // Denormals.
        Row{"%g %e %f", MakeArgs(5e-324, 5e-324, 5e-324), "0 0e+000 0"},
        Row{"%.20f", MakeArgs(0.1), "0.10000000000000004718"},
        // Negative zero is not negative; a negative value that rounds to zero keeps its sign.
        Row{"%f|%+f|%.1f", MakeArgs(-0.0, -0.0, -0.04), "0|+0|-0"},
        Row{"%+f % f", MakeArgs(2.5, 2.5), "+2.5  2.5"},
        // Padding goes before the sign when right-justified, after the number when left.
        Row{"%8.2f|", MakeArgs(-1.5), "    -1.5|"}, Row{"%08.2f", MakeArgs(-1.5), "0000-1.5"},
        Row{"%-8.3f|", MakeArgs(2.25), "2.25    |"}, Row{"%-08.1f", MakeArgs(1.5), "1.500000"},
        // The float-sized nudge with "h".
        Row{"%.7hf %.7f", MakeArgs(0.123456449, 0.123456449), "0.1234565 0.1234564"},
        // A precision of 1024 wraps to 0.
        Row{"%.1024f", MakeArgs(1.5), "2"},
        // The nudge shows once enough digits are asked for.
        Row{"%.1023f", MakeArgs(1.0), "1.000000000000000444089209850062616169452667236328125"}));

INSTANTIATE_TEST_SUITE_P(
    NotFinite, FormatterTable,
    ::testing::Values(Row{"%f %e %g", MakeArgs(INFINITY, -INFINITY, NAN), "INF -INF NaN"},
                      Row{"%f", MakeArgs(-NAN), "NaN"},
                      Row{"%+f %+f", MakeArgs(INFINITY, NAN), "+INF +NaN"},
                      // Their length for padding is 4 whether or not a sign shows.
                      Row{"%5f|%5f|", MakeArgs(INFINITY, -INFINITY), " INF| -INF|"},
                      Row{"%-6f|", MakeArgs(NAN), "NaN  |"},
                      Row{"%06f", MakeArgs(INFINITY), "00INF"}));

TEST(Formatter, HugeOutputs) {
  // The widest fields the 10-bit width and precision allow.
  std::string s = FormatN("%*d", MakeArgs(-1, 7));
  EXPECT_EQ(s, std::string(1022, ' ') + "7");
  s = FormatN("%1023.1023d", MakeArgs(-7));
  EXPECT_EQ(s, "-" + std::string(1022, '0') + "7");
  s = FormatN("%#.1023f", MakeArgs(1e308));
  ASSERT_EQ(s.size(), 309u + 1 + 1023);
  EXPECT_EQ(s.substr(0, 20), "10000000000000004101");
  EXPECT_EQ(s.substr(310), std::string(1023, '0'));
  s = FormatN("%f", MakeArgs(1e308));
  EXPECT_EQ(s.size(), 309u);
  s = FormatN("%-1023.1023e|", MakeArgs(5e-324));
  EXPECT_EQ(s.substr(0, 330), "0." + std::string(323, '0') + "49406");
  EXPECT_EQ(s.substr(s.size() - 6), "e+000|");
}

TEST(Formatter, ExactHalfRoundsUp) {
  // 2^-1024 has 1024 fraction digits ending in 5: at 1023 digits it is an exact half.
  const std::string s = FormatN("%.1023e", MakeArgs(std::ldexp(1.0, -1024)));
  ASSERT_EQ(s.size(), 1030u);
  EXPECT_EQ(s.substr(s.size() - 13), "21289063e+000");
}

TEST(Formatter, NudgeDoesNotOverflowToInfinity) {
  EXPECT_EQ(FormatN("%.0e", MakeArgs(DBL_MAX)), "2e+308");
  EXPECT_EQ(FormatN("%hg", MakeArgs(-DBL_MAX)), "-1.79769e+308");
}

TEST(Formatter, UnterminatedTextIsReadOnlyToThePrecision) {
  const char text[3] = {'a', 'b', 'c'};
  const char16_t wide[2] = {u'x', u'y'};
  EXPECT_EQ(FormatN("%.3s|%.2S",
                    MakeArgs(static_cast<const char*>(text), static_cast<const char16_t*>(wide))),
            "abc|xy");
}

TEST(Formatter, TextCrossesWidthsCharacterByCharacter) {
  // Wide to narrow keeps Latin-1 and shows "?" for the rest; narrow to wide reads bytes as
  // Latin-1.
  EXPECT_EQ(FormatN("%S", MakeArgs(u"\u00e9\u0141x")), "\xe9?x");
  EXPECT_EQ(FormatW(u"%S", MakeArgs("\xc3\xa9")), u"\u00c3\u00a9");
  EXPECT_EQ(FormatW(u"%s", MakeArgs(u"\u0141")), u"\u0141");
  EXPECT_EQ(FormatW(u"%c", MakeArgs(0x10141)), u"\u0141");
  EXPECT_EQ(FormatN("%c", MakeArgs(0x1e9)), "\xe9");
}

TEST(Formatter, LiteralTextPassesThrough) {
  EXPECT_EQ(FormatW(u"\u00e9%d\u0141", MakeArgs(5)), u"\u00e95\u0141");
  EXPECT_EQ(FormatN("\xc3\xa9%d", MakeArgs(5)),
            "\xc3\xa9"
            "5");
  // A character outside ASCII ends a specification like any unknown one.
  EXPECT_EQ(FormatW(u"%\u00e9d", MakeArgs(5)), u"d");
}

TEST(Formatter, TypedFrontEnd) {
  enum class Color : uint8_t { kRed = 3 };
  char buffer[64];
  const int32_t n = FormatNarrow(buffer, 64, "%d %u %.1f %s %c %d %x", -1, 5u, 2.5f, "t", 'q',
                                 Color::kRed, uint16_t{0xbeef});
  EXPECT_EQ(std::string(buffer, n), "-1 5 2.5 t q 3 beef");
  char16_t wide[16];
  EXPECT_EQ(FormatWide(wide, 16, u"%s-%S", u"a", "b"), 3);
  EXPECT_EQ(std::u16string(wide), u"a-b");
  EXPECT_EQ(FormatNarrow(buffer, 64, "plain"), 5);
  EXPECT_STREQ(buffer, "plain");
}

TEST(Formatter, BufferLimits) {
  const Args args = MakeArgs(12345);
  char buffer[8];
  // Too small: the first characters, no terminator, the capacity as result.
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(FormatNarrowArgs(buffer, 3, "%d", args), 3);
  EXPECT_EQ(std::string(buffer, 4), "123#");
  // An exact fit has no room for the terminator either.
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(FormatNarrowArgs(buffer, 5, "%d", args), 5);
  EXPECT_EQ(std::string(buffer, 6), "12345#");
  // One more and the terminator follows.
  EXPECT_EQ(FormatNarrowArgs(buffer, 6, "%d", args), 5);
  EXPECT_STREQ(buffer, "12345");
  // Capacity 0 (or below) writes nothing and gives 0.
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(FormatNarrowArgs(buffer, 0, "%d", args), 0);
  EXPECT_EQ(FormatNarrowArgs(buffer, -5, "%d", args), 0);
  EXPECT_EQ(buffer[0], '#');
  // A null buffer measures whatever the capacity.
  EXPECT_EQ(FormatNarrowArgs(nullptr, 2, "%d", args), 5);
  EXPECT_EQ(FormatNarrowArgs(nullptr, -1, "%d", args), 5);
  // Truncation inside padding and inside a long double text.
  EXPECT_EQ(FormatNarrowArgs(buffer, 4, "%10d", args), 4);
  EXPECT_EQ(std::string(buffer, 4), "    ");
  char16_t wide[4];
  EXPECT_EQ(FormatWideArgs(wide, 4, u"%#.1023f", MakeArgs(1.0)), 4);
  EXPECT_EQ(std::u16string(wide, 4), u"1.00");
  // No format: nothing, but a terminator when there is room.
  buffer[0] = '#';
  EXPECT_EQ(FormatNarrowArgs(buffer, 8, nullptr, args), 0);
  EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
}  // namespace vk2
