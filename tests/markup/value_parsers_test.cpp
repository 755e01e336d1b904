// Attribute value parsers: numbers, points, rectangles, colours, blit and fill modes, with the
// reports they leave in the reading thread's error sink.
#include <gtest/gtest.h>

#include <thread>

#include "markup/parse/identifiers.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::markup {
namespace {

using test::FindTag;
using test::LoadElement;
using test::Narrow;

constexpr char kTree[] =
    "<interface>\n"
    "  <point name=\"origin\" x=\"3\" y=\"4\"/>\n"
    "  <rect name=\"frame\">10,20,110,70</rect>\n"
    "  <point name=\"via\">frame</point>\n"
    "  <color name=\"red\">#FF0000</color>\n"
    "  <color name=\"alias\">red</color>\n"
    "  <color name=\"loop_a\">loop_b</color>\n"
    "  <color name=\"loop_b\">loop_a</color>\n"
    "  <point name=\"p_a\">p_b</point>\n"
    "  <point name=\"p_b\">p_a</point>\n"
    "  <window name=\"w\">\n"
    "    <probe/>\n"
    "  </window>\n"
    "</interface>\n";

class ValueParsersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = LoadElement(kTree);
    ASSERT_TRUE(root_);
    probe_ = FindTag(root_, u"probe");
    ASSERT_TRUE(probe_);
  }
  std::string Reports() const { return Narrow(sink_.Text()); }

  test::InProcessMarkup services_;
  ErrorSinkScope sink_;
  Element root_, probe_;
};

TEST(ScalarParsersTest, NumbersSkipBlanksThenCommas) {
  struct Case {
    const char16_t* text;
    int32_t consumed;
    double value;
  } cases[] = {
      {u"12.5", 4, 12.5}, {u"  ,,7", 5, 7}, {u"0x1F", 4, 31},  {u"0X1F", 1, 0},
      {u"", 0, 0},        {u", x", 0, 0},   {u"-2e1", 4, -20}, {u", 3", 0, 0},
  };
  for (const auto& c : cases) {
    double v = 0;
    EXPECT_EQ(ParseMarkupNumber(c.text, &v), c.consumed) << Narrow(TString(c.text));
    if (c.consumed) {
      EXPECT_EQ(v, c.value);
    }
  }
  bool b = true;
  EXPECT_EQ(ParseBoolText(u"FALSE", &b), 5);
  EXPECT_FALSE(b);
  EXPECT_EQ(ParseBoolText(u"yes", &b), 3);
  EXPECT_TRUE(b);
  EXPECT_EQ(ParseBoolText(u"", &b), 0);
  int32_t i = 0;
  EXPECT_EQ(ParseIntegerMarkup(u"-12", &i), 3);
  EXPECT_EQ(i, -12);
  EXPECT_EQ(ParseIntegerMarkup(u"0xFFFFFFFF", &i), 10);
  EXPECT_EQ(i, -1);
}

TEST(ScalarParsersTest, GuidsAreStrictWithoutBraces) {
  Guid g;
  EXPECT_TRUE(ParseGuidString(u"4B87D871-D052-4C83-82A3-9B5C8C00BA77", &g));
  EXPECT_FALSE(ParseGuidString(u"{4B87D871-D052-4C83-82A3-9B5C8C00BA77}", &g));
  EXPECT_FALSE(ParseGuidString(u"4B87D871-D052-4C83-82A3-9B5C8C00BA7", &g));
  EXPECT_FALSE(ParseGuidString(u"4B87D871-D052-4C83-82A3 9B5C8C00BA77", &g));
  EXPECT_FALSE(ParseGuidString(u"Generic", &g));
}

TEST_F(ValueParsersTest, PointsFromNumbersNamesAndSubtraction) {
  struct Case {
    const char16_t* text;
    bool withElement;
    int32_t consumed;
    PointD value;
  } cases[] = {
      {u"10,20", true, 5, {10, 20}},
      {u"0x10 0x20", true, 9, {16, 32}},
      {u"100,50 @ 20,10", true, 14, {80, 40}},
      {u"100,50 @", true, 6, {100, 50}},
      {u"origin", true, 6, {3, 4}},
      {u"frame", true, 5, {10, 20}},
      {u"via", true, 3, {10, 20}},
      {u"frame @ origin", true, 14, {7, 16}},
      {u"origin", false, 0, {}},
      {u"10", false, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(TString(c.text)));
    PointD p{-1, -1};
    EXPECT_EQ(ParsePointOrSize(false, c.text, c.withElement ? &probe_ : nullptr, &p, true, nullptr,
                               nullptr),
              c.consumed);
    if (c.consumed) {
      EXPECT_EQ(p, c.value);
    }
  }
  EXPECT_EQ(Reports(), "");
  PointD size;
  EXPECT_EQ(ParsePointOrSize(true, u"frame", &probe_, &size, true, nullptr, nullptr), 5);
  EXPECT_EQ(size, (PointD{100, 50}));
}

TEST_F(ValueParsersTest, BadPointsAreReportedWithTheElementsLine) {
  PointD p;
  EXPECT_EQ(ParsePointOrSize(false, u"10", &probe_, &p, true, nullptr, nullptr), 2);
  EXPECT_EQ(p, (PointD{10, 0}));
  EXPECT_EQ(ParsePointOrSize(false, u"nowhere", &probe_, &p, true, nullptr, nullptr), 0);
  EXPECT_EQ(ParsePointOrSize(false, u"bad-name", &probe_, &p, true, nullptr, nullptr), 0);
  EXPECT_EQ(Reports(),
            "\tError in tag <probe> on line (12):\n\tUnable to get numeric value for point value "
            "#2 using '0' instead.\n"
            "\tError in tag <probe> on line (12):\n\tPoint \"nowhere\" not found.\n\n"
            "\tError in tag <probe> on line (12):\n\tPoint \"bad-name\" is not a valid name "
            "identifier.\n\n");
}

TEST_F(ValueParsersTest, CircularNamesStopWithAReport) {
  PointD p;
  EXPECT_EQ(ParsePointOrSize(false, u"p_a", &probe_, &p, true, nullptr, nullptr), 0);
  uint32_t color = 0;
  EXPECT_EQ(ParseColor(u"loop_a", &color, &probe_, nullptr), 0);
  EXPECT_NE(Reports().find("circular reference"), std::string::npos);
}

TEST_F(ValueParsersTest, RectanglesWithSubtractionAndFractions) {
  RectD r;
  EXPECT_EQ(ParseRect(u"1,2,3,4", &probe_, &r, true, nullptr, nullptr), 7);
  EXPECT_EQ(r, (RectD{1, 2, 3, 4}));
  EXPECT_EQ(ParseRect(u"frame", &probe_, &r, true, nullptr, nullptr), 5);
  EXPECT_EQ(r, (RectD{10, 20, 110, 70}));
  EXPECT_EQ(ParseRect(u"100,100,200,200 @ 10,10,20,20", &probe_, &r, true, nullptr, nullptr), 29);
  EXPECT_EQ(r, (RectD{90, 90, 180, 180}));
  // With fractions the subtrahend is taken at those fractions of the named rectangle.
  RectD fractions{0, 0, 1, 0.5};
  EXPECT_GT(ParseRect(u"0,0,0,0 @ frame", &probe_, &r, true, nullptr, nullptr, &fractions), 0);
  EXPECT_EQ(r, (RectD{-10, -20, -110, -45}));
  EXPECT_EQ(ParseRect(u"1,2", &probe_, &r, true, nullptr, nullptr), 3);
  EXPECT_EQ(r, (RectD{1, 2, 0, 0}));
  EXPECT_EQ(ParseRect(u"1,2", nullptr, &r, true, nullptr, nullptr), 0);
  EXPECT_EQ(Reports(),
            "\tError in tag <probe> on line (12):\n\tUnable to get numeric value for rectangle "
            "coordinate #3 using '0' instead.\n"
            "\tError in tag <probe> on line (12):\n\tUnable to get numeric value for rectangle "
            "coordinate #4 using '0' instead.\n");
}

TEST_F(ValueParsersTest, AnchoredRectanglesResolveAgainstTheParent) {
  Element e = LoadElement("<window rect=\"5,5,-5,-5\" fraction=\"0,0,1,1\"/>");
  AnchoredRect anchored;
  ASSERT_TRUE(anchored.Parse(&e, u"rect", u"fraction", nullptr, nullptr));
  EXPECT_EQ(anchored.Resolve({100, 100, 300, 200}), (RectD{105, 105, 295, 195}));
  Element bare = LoadElement("<window/>");
  ASSERT_TRUE(anchored.Parse(&bare, u"rect", u"fraction", nullptr, nullptr));
  EXPECT_EQ(anchored.Resolve({1, 2, 3, 4}), (RectD{1, 2, 3, 4}));
  EXPECT_FALSE(anchored.Parse(nullptr, u"rect", u"fraction", nullptr, nullptr));
  AnchoredPoint point;
  Element p = LoadElement("<dock offset=\"-4,2\" alignment=\"1,0.5\"/>");
  ASSERT_TRUE(point.Parse(&p, u"offset", u"alignment", nullptr, nullptr));
  EXPECT_EQ(point.Resolve({50, 50, 150, 90}), (PointD{96, 22}));
}

TEST_F(ValueParsersTest, ColoursLiteralNamedFilteredAndCombined) {
  struct Case {
    const char16_t* text;
    int32_t consumed;
    uint32_t value;
  } cases[] = {
      {u"#FF0000", 7, 0xFFFF0000},
      {u"#80FF0000", 9, 0xFFFF0000},
      {u"0x80FF0000", 10, 0x80FF0000},
      {u"#FFFFFF:rb", 10, 0x00FF00FF},
      {u"#FF0000 + #0000FF", 17, 0xFFFF00FF},
      {u"#FFF", 4, 0xFF000FFF},
      {u"alias", 5, 0xFFFF0000},
      {u"16", 2, 16},
      {u"#FF0000 +", 7, 0xFFFF0000},
      {u"nothing", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(TString(c.text)));
    uint32_t v = 0;
    EXPECT_EQ(ParseColor(c.text, &v, &probe_, nullptr), c.consumed);
    if (c.consumed) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST_F(ValueParsersTest, BlitModesCombineFieldsOverTheDefault) {
  struct Case {
    const char16_t* text;
    bool ok;
    uint64_t code;
  } cases[] = {
      {u"ADD ALPHA_SRCALPHA", true, 0x10A0F},
      {u"PS_SCREEN", true, 0x1000001160F},
      {u"RGB|XOR", true, 0x50E},
      {u"ALPHA_BLEND_DISSOLVE ALPHA_INVERT", true, 0x4800000000F},
      {u"ADD WOBBLE", false, 0xF},
  };
  for (const auto& c : cases) {
    uint64_t code = 0;
    EXPECT_EQ(ParseBlitMode(c.text, &code, &probe_, true, kBlitCopyAllChannels, nullptr, nullptr),
              c.ok);
    EXPECT_EQ(code, c.code) << Narrow(TString(c.text));
  }
  EXPECT_NE(Reports().find("Invalid value \"WOBBLE\". Using default value \"COPY\" instead."),
            std::string::npos);
  uint64_t code = 0;
  EXPECT_FALSE(ParseBlitMode(u"ADD WOBBLE", &code, nullptr, true, 0xF, nullptr, nullptr));
  EXPECT_EQ(test::InProcessMarkup::TakeConsole(),
            "\"WOBBLE\" of \"ADD WOBBLE\" is not valid for blitmode, using default.\n");
}

TEST_F(ValueParsersTest, FillModesNeedTheirRectangles) {
  Element resize = LoadElement(
      "<imagestyle fillmode=\"resize\" inner_rect=\"15,15,85,85\" outer_rect=\"10,10,90,90\"/>");
  RectI32 inner, outer;
  SizeI32 tile;
  EXPECT_EQ(ParseFillMode(resize, &inner, &outer, &tile, {8, 8}, nullptr, nullptr), 2);
  EXPECT_EQ(inner, (RectI32{5, 5, 75, 75}));
  EXPECT_EQ(outer, (RectI32{0, 0, 80, 80}));
  Element tiled = LoadElement("<imagestyle fillmode=\"tile\" tile_size=\"16,4\"/>");
  EXPECT_EQ(ParseFillMode(tiled, &inner, &outer, &tile, {8, 8}, nullptr, nullptr), 1);
  EXPECT_EQ(tile, (SizeI32{16, 4}));
  Element defaultTile = LoadElement("<imagestyle fillmode=\"tile\"/>");
  ParseFillMode(defaultTile, &inner, &outer, &tile, {8, 8}, nullptr, nullptr);
  EXPECT_EQ(tile, (SizeI32{8, 8}));
  EXPECT_EQ(Reports(), "");
  Element missing = LoadElement("<imagestyle\n fillmode=\"resize\"\n/>");
  EXPECT_EQ(ParseFillMode(missing, &inner, &outer, &tile, {8, 8}, nullptr, nullptr), 0);
  EXPECT_EQ(Reports(),
            "\tError in tag <imagestyle> on lines (1-3):\n\tinner_rect = \"\"\nA proper "
            "\"inner_rect\" is required for 'resize' fillmodes.\nExamples: \n\tinner_rect = "
            "\"25,25,75,75\"\n\tinner_rect = \"my.psd|inner_resizearea\"\n\n");
}

TEST_F(ValueParsersTest, KeywordAttributesReportAndFallBack) {
  Element e = LoadElement("<dock\n type=\"sideways\" state=\"hover,hit\" hit=\"DRAG bogus\"/>");
  EXPECT_EQ(ParseKeywordAttribute(e, u"type", u"slave", Keywords(KeywordGroup::kDockTypes)), 1u);
  EXPECT_EQ(ParseStateAttribute(e), 6u);
  uint64_t hit = 99;
  EXPECT_FALSE(ParseHitCodeAttribute(e, u"hit", &hit));
  EXPECT_EQ(hit, 0u);
  EXPECT_EQ(ParseStateAttribute(LoadElement("<x state=\"\"/>")), 1u);
  EXPECT_EQ(Reports(),
            "\tError in tag <dock> on lines (1-2):\n\tAttribute \"type\" on line 2\n...\n"
            "type=\"sideways\"\n...\nInvalid value \"sideways\". Using default value \"slave\" "
            "instead.\n"
            "\tError in tag <dock> on lines (1-2):\n\tAttribute \"hit\" on line 2\n...\n"
            "hit=\"DRAG bogus\"\n...\nInvalid value \"DRAG bogus\". Using default value \"NONE\" "
            "instead.\n");
}

TEST_F(ValueParsersTest, NamedElementsAreFoundThroughTheAncestors) {
  Element found = FindNamedElement(probe_, u"rect", u"name", u"FRAME");
  ASSERT_TRUE(found);
  EXPECT_EQ(found.FirstLine(), 3);
  EXPECT_FALSE(FindNamedElement(probe_, u"rect", u"name", u"none"));
  Element e = LoadElement("<x name=\"ok_1\" bad=\"1x\"/>");
  EXPECT_EQ(Narrow(ReadIdentifierAttribute(e, u"name")), "ok_1");
  EXPECT_EQ(Narrow(ReadIdentifierAttribute(e, u"bad", u"dflt")), "dflt");
  EXPECT_EQ(Narrow(ReadIdentifierAttribute(e, u"absent")), "");
  EXPECT_EQ(Reports(),
            "\tError in tag <x> on line (1):\n\t\"1x\" is not a valid name identifier.\n");
}

TEST(ErrorSinkTest, EachThreadHasItsOwnSinkAndNoneOutsideAReading) {
  test::InProcessMarkup services;
  Element e = LoadElement("<a/>");
  // Without a sink a report with an element goes nowhere, one without goes to the console.
  ReportMmlError(&e, TString(u"lost"));
  ReportMmlError(nullptr, TString(u"to the console"));
  EXPECT_EQ(test::InProcessMarkup::TakeConsole(), "to the console");
  std::string texts[2];
  std::thread threads[2];
  for (int i = 0; i < 2; ++i) {
    threads[i] = std::thread([&, i] {
      ErrorSinkScope scope;
      ASSERT_TRUE(scope.Installed());
      ErrorSinkScope nested;
      EXPECT_FALSE(nested.Installed());
      for (int n = 0; n <= i; ++n)
        ReportMmlError(&e, TString::Format(u"thread %d", i));
      texts[i] = Narrow(scope.Text());
    });
  }
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(texts[0], "\tError in tag <a> on line (1):\n\tthread 0\n");
  EXPECT_EQ(
      texts[1],
      "\tError in tag <a> on line (1):\n\tthread 1\n\tError in tag <a> on line (1):\n\tthread "
      "1\n");
  EXPECT_EQ(CurrentErrorSink(), nullptr);
}

}  // namespace
}  // namespace vk2::markup
