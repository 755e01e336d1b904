// The text form of a font description: keys in any order and case, each once; bad words fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oru/graphics/fonts/font_description_text.h"

namespace vk2::test {
namespace {

using oru::ParsedFontDescription;
using oru::ParseFontDescription;

TEST(FontDescriptionText, ReadsEveryKey) {
  struct Case {
    const char16_t* text;
    std::u16string face;
    int32_t size;
    uint32_t style;
    bool smoothed;
  };
  const std::vector<Case> cases = {
      {u"face=Arial", u"Arial", 10, 1, true},
      {u" FACE = DejaVu Sans ; Size=12 ; style = bold italic ; smoothed = no ;", u"DejaVu Sans", 12,
       2 | kFontItalic, false},
      {u"style=light underline fixed;face=x;size=500", u"x", 500, kFontUnderline | kFontFixedPitch,
       true},
      {u"face=x;style=fixed proportional serif;smoothed=1", u"x", 10, 1 | kFontSerif, true},
  };
  for (const Case& c : cases) {
    ParsedFontDescription d;
    ASSERT_TRUE(ParseFontDescription(c.text, &d)) << std::string(c.text, c.text + 8);
    EXPECT_EQ(d.face, c.face);
    EXPECT_EQ(d.size, c.size);
    EXPECT_EQ(d.style, c.style);
    EXPECT_EQ(d.smoothed, c.smoothed);
    const FontDescription record = d.Description();
    EXPECT_EQ(record.kind, kFontFace);
    EXPECT_EQ(std::u16string(record.face), c.face);
  }
}

TEST(FontDescriptionText, RefusesWhatItDoesNotKnow) {
  for (const char16_t* text :
       {u"", u"size=12", u"face=", u"face=a;face=b", u"face=a;size=0", u"face=a;size=501",
        u"face=a;size=12pt", u"face=a;size=-3", u"face=a;style=heavy", u"face=a;style=",
        u"face=a;smoothed=maybe", u"face=a;colour=red", u"face a"}) {
    ParsedFontDescription d;
    EXPECT_FALSE(ParseFontDescription(text, &d)) << std::string(text, text + 4);
  }
}

}  // namespace
}  // namespace vk2::test
