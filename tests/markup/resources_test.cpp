// Font definitions and records, palettes and blend curves, and script includes.
#include <gtest/gtest.h>

#include "markup/keywords/keyword_tables.h"
#include "markup/report/error_sink.h"
#include "markup/resources/font_definition.h"
#include "markup/resources/palette.h"
#include "markup/resources/script_includes.h"
#include "tests/markup/support/duv_loading.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::markup {
namespace {

using test::LoadElement;
using test::Narrow;

class ResourcesTest : public ::testing::Test {
 protected:
  test::InProcessMarkup services_;
  ErrorSinkScope sink_;
};

TEST_F(ResourcesTest, FontStyleWordsSetAndClearTheirBits) {
  struct Case {
    const char16_t* words;
    uint32_t style, mask;
  } cases[] = {
      {u"bold italic", 0x12, 0x13},   {u"light underline", 0x20, 0x23},
      {u"serifs noserifs", 0x0, 0x8}, {u"nonproportional nonitalic", 0x4, 0x14},
      {u"wobbly", 0x0, 0x0},          {u"bold default", 0x1, 0xFFFFFFFF},
  };
  for (const auto& c : cases) {
    uint32_t style = 0, mask = 0;
    TArray<TString> words;
    int32_t n = SplitMarkupTokens(c.words, &words);
    for (int32_t i = 0; i < n; ++i)
      ApplyFontStyleWord(words[static_cast<uint32_t>(i)].view(), &style, &mask);
    EXPECT_EQ(style, c.style) << Narrow(TString(c.words));
    EXPECT_EQ(mask, c.mask) << Narrow(TString(c.words));
  }
}

TEST_F(ResourcesTest, FaceFontsApplyOverTheBase) {
  FontRecord base;
  base.kind = FontRecordKind::kFace;
  base.face = u"Sans";
  base.size = 10;
  base.style = 0x21;  // normal, underlined
  base.smoothed = true;
  struct Case {
    const char* element;
    const char* face;
    int32_t size;
    uint32_t style;
    bool smoothed;
  } cases[] = {
      {"<fontstyle name=\"a\" size=\"+2\" style=\"bold italic\"/>", "Sans", 12, 0x32, true},
      {"<fontstyle name=\"a\" face=\"Serif\" size=\"14\" smoothed=\"false\"/>", "Serif", 14, 0x21,
       false},
      {"<fontstyle name=\"a\" size=\"-3\" style=\"nonunderline\"/>", "Sans", 7, 0x01, true},
      {"<fontstyle name=\"a\"/>", "Sans", 10, 0x21, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.element);
    FontDefinition definition;
    ASSERT_TRUE(ParseFontDefinition(&definition, LoadElement(c.element), nullptr, nullptr));
    FontRecord out;
    EXPECT_EQ(BuildFontRecord(definition, base, &out), 0);
    EXPECT_EQ(out.kind, FontRecordKind::kFace);
    EXPECT_EQ(Narrow(out.face), c.face);
    EXPECT_EQ(out.size, c.size);
    EXPECT_EQ(out.style, c.style);
    EXPECT_EQ(out.smoothed, c.smoothed);
  }
  // Over a base that is no face font the definition stands alone.
  FontDefinition definition;
  ASSERT_TRUE(ParseFontDefinition(&definition, LoadElement("<fontstyle name=\"a\" size=\"+2\"/>"),
                                  nullptr, nullptr));
  FontRecord out;
  BuildFontRecord(definition, FontRecord(), &out);
  EXPECT_EQ(out.size, 2);
  EXPECT_EQ(BuildFontRecord(definition, base, nullptr), -1);
}

TEST_F(ResourcesTest, RasterFontsNeedAGlyphList) {
  FontDefinition definition;
  EXPECT_FALSE(ParseFontDefinition(
      &definition, LoadElement("<fontstyle name=\"r\" type=\"RASTER\"/>"), nullptr, nullptr));
  EXPECT_FALSE(ParseFontDefinition(
      &definition, LoadElement("<fontstyle name=\"r\" type=\"raster\"><glyphlist/></fontstyle>"),
      nullptr, nullptr));
  ASSERT_TRUE(ParseFontDefinition(
      &definition,
      LoadElement("<fontstyle name=\"r\" type=\"raster\" startpixel=\"2,3\" tracking=\"-1\" "
                  "monochrome=\"false\"><glyphlist>ABC</glyphlist></fontstyle>"),
      nullptr, nullptr));
  FontRecord out;
  EXPECT_EQ(BuildFontRecord(definition, FontRecord(), &out), 1);
  EXPECT_EQ(out.kind, FontRecordKind::kRaster);
  EXPECT_EQ(Narrow(out.glyphs), "ABC");
  EXPECT_EQ(out.startX, 2);
  EXPECT_EQ(out.startY, 3);
  EXPECT_EQ(out.tracking, -1);
  EXPECT_FALSE(out.monochrome);
  std::string reports = Narrow(sink_.Text());
  EXPECT_NE(reports.find("<glyphlist>  is required for monochrome raster fonts."),
            std::string::npos);
  EXPECT_NE(reports.find("<glyphlist>  requires a list of glyphs"), std::string::npos);
}

TEST_F(ResourcesTest, PalettesFromControlPoints) {
  Element doc = LoadElement(
      "<interface>"
      "<palette name=\"ramp\"><cp x=\"0.5\" value=\"#FF0000\"/><cp x=\"0.5\" value=\"#0000FF\"/>"
      "</palette>"
      "<palette name=\"smooth\" spline=\"true\"><cp x=\"0.5\" value=\"#202020\"/></palette>"
      "<palette name=\"straight\"><cp x=\"0.5\" value=\"#202020\"/></palette>"
      "<x palette=\"ramp\"/><y palette=\"absent\"/></interface>");
  Element ramp = doc.Child(u"palette", 0);
  RefPtr<Palette> palette = BuildPalette(&ramp, nullptr);
  ASSERT_TRUE(palette);
  // The second point at 0.5 replaced the first: blue in the middle.
  uint32_t middle = palette->Entries()[127];
  EXPECT_GE(middle & 0xFFu, 0xF0u);
  EXPECT_EQ((middle >> 16) & 0xFFu, 0u);
  EXPECT_EQ(palette->Entries()[0], 0xFF000000u);
  EXPECT_EQ(palette->Entries()[255], 0xFFFFFFFFu);
  Element smooth = doc.Child(u"palette", 1), straight = doc.Child(u"palette", 2);
  uint32_t s = BuildPalette(&smooth, nullptr)->Entries()[64] & 0xFF;
  uint32_t l = BuildPalette(&straight, nullptr)->Entries()[64] & 0xFF;
  EXPECT_NE(s, l);
  EXPECT_TRUE(ParsePalette(doc.Child(u"x", 0), nullptr, false));
  EXPECT_FALSE(ParsePalette(doc.Child(u"y", 0), nullptr, false));
  RefPtr<Palette> required = ParsePalette(doc.Child(u"y", 0), nullptr, true);
  ASSERT_TRUE(required);
  EXPECT_EQ(required->Entries()[255], 0xFFFFFFFFu);
}

TEST_F(ResourcesTest, BlendCurvesAndTheMissingServiceFill) {
  Element doc = LoadElement(
      "<interface><blend_curve name=\"half\"><cp x=\"1\" value=\"127.9\"/></blend_curve>"
      "<imagestyle blend_curve=\"half\"/></interface>");
  std::array<uint8_t, 256> curve = ParseBlendCurve(doc.Child(u"imagestyle", 0));
  EXPECT_EQ(curve[0], 0);
  EXPECT_EQ(curve[255], 127);
  MarkupServices none = CurrentMarkupServices();
  none.imageStyleService = nullptr;
  MarkupServices saved = InstallMarkupServices(none);
  EXPECT_EQ(ParseBlendCurve(doc.Child(u"imagestyle", 0))[10], 0x88);
  EXPECT_EQ(BuildPalette(nullptr, nullptr)->Entries()[10], 0x88888888u);
  InstallMarkupServices(saved);
}

TEST_F(ResourcesTest, IncludesAreExpandedAtTheirPositions) {
  Element doc = LoadElement(
      "<interface>"
      "<script name=\"lib\">L</script>"
      "<script name=\"front\"><include source=\"lib\"/>abc</script>"
      "<script name=\"middle\">ab<include source=\"lib\"/>cd</script>"
      "<script name=\"end\">abc<include source=\"lib\"/></script>"
      "<script name=\"two\">a<include source=\"middle\"/>b<include source=\"lib\"/>c</script>"
      "<script name=\"unknown\">a<include source=\"none\"/><include/>b</script>"
      "<script name=\"self\">s<include source=\"self\"/></script>"
      "<script name=\"ping\">p<include source=\"pong\"/></script>"
      "<script name=\"pong\">q<include source=\"ping\"/></script>"
      "</interface>");
  struct Case {
    int32_t index;
    const char* text;
  } cases[] = {{1, "Labc"}, {2, "abLcd"}, {3, "abcL"}, {4, "aabLcdbLc"},
               {5, "ab"},   {6, "s"},     {7, "pq"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Narrow(ParseIncludeOrScript(doc.Child(u"script", c.index))), c.text);
  }
  EXPECT_NE(Narrow(sink_.Text()).find("Script \"self\" includes itself."), std::string::npos);
}

}  // namespace
}  // namespace vk2::markup
