#include "foundation/util/guid_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vk2 {
namespace {

constexpr Guid kSample = MakeGuid("F316B898-717E-451E-8518-79714110B00F");

struct ParseCase {
  const char* text;
  bool ok;
};

TEST(GuidTextTest, ParsesRegistryFormStrictly) {
  const ParseCase cases[] = {
      {"{F316B898-717E-451E-8518-79714110B00F}", true},
      {"F316B898-717E-451E-8518-79714110B00F", true},
      {"{f316b898-717e-451e-8518-79714110b00f}", true},
      {"f316B898-717e-451E-8518-79714110b00F", true},
      {"", false},
      {"{}", false},
      {"{F316B898-717E-451E-8518-79714110B00F", false},   // unbalanced
      {"F316B898-717E-451E-8518-79714110B00F}", false},   //
      {"(F316B898-717E-451E-8518-79714110B00F)", false},  // other brackets
      {" F316B898-717E-451E-8518-79714110B00F", false},   // blank
      {"F316B898-717E-451E-8518-79714110B00", false},     // a digit short
      {"F316B898-717E-451E-8518-79714110B00FF", false},   // a digit long
      {"F316B898-717E-451E-851879714110B00F0", false},    // dash moved
      {"F316B898_717E-451E-8518-79714110B00F", false},    //
      {"G316B898-717E-451E-8518-79714110B00F", false},    // not hex
      {"F316B898-717E-451E-8518-79714110B0 F", false},    //
      {"+316B898-717E-451E-8518-79714110B00F", false},    // no signs
      {"{F316B898-717E-451E-8518-79714110B00F}}", false},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.text);
    Guid narrow = MakeGuid("00000000-0000-0000-0000-000000000001");
    const Guid before = narrow;
    EXPECT_EQ(ParseGuidText(std::string_view(c.text), &narrow), c.ok);
    EXPECT_EQ(narrow, c.ok ? kSample : before);
    Guid wide = before;
    const std::u16string text(c.text, c.text + std::char_traits<char>::length(c.text));
    EXPECT_EQ(ParseGuidText(std::u16string_view(text), &wide), c.ok);
    EXPECT_EQ(wide, c.ok ? kSample : before);
  }
}

TEST(GuidTextTest, FormatsBracedUpperCaseAndRoundTrips) {
  EXPECT_EQ(FormatGuidTextNarrow(kSample).view(), "{F316B898-717E-451E-8518-79714110B00F}");
  EXPECT_EQ(FormatGuidText(kSample).view(), u"{F316B898-717E-451E-8518-79714110B00F}");
  EXPECT_EQ(FormatGuidTextNarrow(Guid{}).view(), "{00000000-0000-0000-0000-000000000000}");
  const Guid odd{0x0000ABCD, 0x00EF, 0xA000, {0, 1, 0x10, 0xFF, 0x7F, 0x80, 0x0A, 0xA0}};
  Guid back;
  ASSERT_TRUE(ParseGuidText(FormatGuidText(odd).view(), &back));
  EXPECT_EQ(back, odd);
  EXPECT_EQ(FormatGuidTextNarrow(odd).view(), "{0000ABCD-00EF-A000-0001-10FF7F800AA0}");
}

}  // namespace
}  // namespace vk2
