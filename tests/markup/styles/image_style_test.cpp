// Image styles: the colour and gradient primitives on small canvases, the opacity rule, state
// masks, the language filter, includes and the reports bad markup gets.
#include <gtest/gtest.h>

#include "markup/styles/text_style.h"
#include "tests/markup/styles/style_fixture.h"

namespace vk2::test {
namespace {

using markup::AnimationParams;
using markup::Element;
using markup::ImageStyleGroup;

class ImageStyleTest : public ::testing::Test {
 protected:
  // Draws the style `name` of a document holding `body` on a fresh 32 x 32 canvas.
  bool DrawNamed(const std::string& body, const char16_t* name, TestCanvas* canvas,
                 uint32_t states = markup::kStateNormal, double blend = 1.0,
                 AnimationParams params = {}) {
    StyleDocument doc(body);
    RefPtr<ImageStyleGroup> style = doc.Style(name);
    EXPECT_TRUE(style) << Narrow(TString(name));
    if (!style) return false;
    return style->Draw(RectI{0, 0, canvas->width(), canvas->height()}, canvas->get(), states,
                       params, blend);
  }

  InProcessMarkup services_;
};

TEST_F(ImageStyleTest, ColorFillCoversTheRectExactly) {
  TestCanvas canvas(32, 32);
  ASSERT_TRUE(
      DrawNamed("<imagestyle name=\"s\"><color_fill color=\"#FF0000\" offset=\"4,4,-4,-4\" "
                "alignment=\"0,0,1,1\"/></imagestyle>",
                u"s", &canvas));
  EXPECT_EQ(canvas.At(4, 4), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(27, 27), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(3, 4), 0u);
  EXPECT_EQ(canvas.At(28, 28), 0u);
}

TEST_F(ImageStyleTest, OutlinedRectDrawsOnlyItsBorder) {
  TestCanvas canvas(32, 32);
  ASSERT_TRUE(DrawNamed(
      "<imagestyle name=\"s\"><color_rect color=\"#00FF00\" thickness=\"2\"/></imagestyle>", u"s",
      &canvas));
  for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {31, 31}, {30, 16}, {16, 1}})
    EXPECT_EQ(canvas.At(x, y), 0xFF00FF00u) << x << "," << y;
  for (auto [x, y] : {std::pair{2, 2}, {16, 16}, {29, 29}})
    EXPECT_EQ(canvas.At(x, y), 0u) << x << "," << y;
}

TEST_F(ImageStyleTest, RoundedRectLeavesItsCornersAndZeroRadiusIsAPlainRect) {
  TestCanvas rounded(32, 32), plain(32, 32), fill(32, 32);
  ASSERT_TRUE(
      DrawNamed("<imagestyle name=\"s\"><color_rect color=\"#0000FF\" filled=\"1\" "
                "cornerradius=\"8\"/></imagestyle>",
                u"s", &rounded));
  EXPECT_EQ(rounded.At(0, 0), 0u);
  EXPECT_EQ(rounded.At(16, 16), 0xFF0000FFu);
  // Antialiasing is on by default with a radius: the curve has partly covered pixels.
  bool partial = false;
  for (int32_t x = 0; x < 8; ++x)
    partial |= Alpha(rounded.At(x, 2)) > 0 && Alpha(rounded.At(x, 2)) < 255;
  EXPECT_TRUE(partial);
  TestCanvas hard(32, 32);
  ASSERT_TRUE(
      DrawNamed("<imagestyle name=\"s\"><color_rect color=\"#0000FF\" filled=\"1\" "
                "cornerradius=\"8\" antialiased=\"0\"/></imagestyle>",
                u"s", &hard));
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 32; ++x)
      ASSERT_TRUE(Alpha(hard.At(x, y)) == 0 || Alpha(hard.At(x, y)) == 255) << x << "," << y;
  }
  EXPECT_EQ(hard.At(0, 0), 0u);

  ASSERT_TRUE(
      DrawNamed("<imagestyle name=\"s\"><color_rect color=\"#0000FF\" filled=\"1\" "
                "cornerradius=\"0\"/></imagestyle>",
                u"s", &plain));
  ASSERT_TRUE(DrawNamed("<imagestyle name=\"s\"><color_fill color=\"#0000FF\"/></imagestyle>", u"s",
                        &fill));
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 32; ++x)
      ASSERT_EQ(plain.At(x, y), fill.At(x, y)) << x << "," << y;
  }
}

TEST_F(ImageStyleTest, EllipsePointAndLineLandWhereTheRectSays) {
  TestCanvas ellipse(32, 32), point(32, 32), line(32, 32);
  // Radii are half the size less twice the thickness: 16 - 2 = 14.
  ASSERT_TRUE(
      DrawNamed("<imagestyle name=\"s\"><color_ellipse color=\"#FFFFFF\" filled=\"1\"/>"
                "</imagestyle>",
                u"s", &ellipse));
  EXPECT_EQ(ellipse.At(16, 16), 0xFFFFFFFFu);
  EXPECT_EQ(Alpha(ellipse.At(1, 16)), 0);
  EXPECT_EQ(Alpha(ellipse.At(16, 1)), 0);
  EXPECT_GT(Alpha(ellipse.At(3, 16)), 0);

  ASSERT_TRUE(DrawNamed("<imagestyle name=\"s\"><color_point color=\"#FFFFFF\"/></imagestyle>",
                        u"s", &point));
  EXPECT_EQ(point.InkBounds(), (RectI{16, 16, 17, 17}));

  ASSERT_TRUE(
      DrawNamed("<imagestyle name=\"s\"><color_line color=\"#FFFFFF\" "
                "offset=\"0,0,-16,-16\" alignment=\"0,0,1,1\"/></imagestyle>",
                u"s", &line));
  EXPECT_GT(Alpha(line.At(8, 8)), 0);
  EXPECT_EQ(Alpha(line.At(24, 24)), 0);
  EXPECT_EQ(Alpha(line.At(8, 2)), 0);
}

TEST_F(ImageStyleTest, StateMaskAndEmptyRectDrawNothing) {
  StyleDocument doc(
      "<imagestyle name=\"s\"><color_fill color=\"#FF0000\" state=\"hover\"/></imagestyle>");
  RefPtr<ImageStyleGroup> style = doc.Style(u"s");
  ASSERT_TRUE(style);
  EXPECT_EQ(style->States(), markup::kStateHover);
  TestCanvas canvas(8, 8);
  EXPECT_FALSE(style->Draw({0, 0, 8, 8}, canvas.get(), markup::kStateNormal, {}, 1.0));
  EXPECT_EQ(canvas.At(4, 4), 0u);
  EXPECT_FALSE(style->Draw({4, 4, 4, 8}, canvas.get(), markup::kStateHover, {}, 1.0));
  EXPECT_EQ(canvas.At(4, 4), 0u);
  EXPECT_TRUE(style->Draw({0, 0, 8, 8}, canvas.get(), markup::kStateHover | 1, {}, 1.0));
  EXPECT_EQ(canvas.At(4, 4), 0xFFFF0000u);
}

TEST_F(ImageStyleTest, OpacityIsClampedAndFollowsTheBlendValueAndSources) {
  StyleDocument doc(
      "<imagestyle name=\"over\"><color_fill opacity=\"1.5\"/></imagestyle>"
      "<imagestyle name=\"under\"><color_fill opacity=\"-1\"/></imagestyle>"
      "<imagestyle name=\"half\"><color_fill opacity=\"0.5\"/></imagestyle>"
      "<imagestyle name=\"flat\"><color_fill blend_curve=\"c\"/></imagestyle>"
      "<imagestyle name=\"inverted\"><color_fill blend_curve=\"c\" invert_blend=\"1\"/>"
      "</imagestyle>"
      "<imagestyle name=\"byzoom\"><color_fill opacity_source=\"zoom\"/></imagestyle>"
      "<blend_curve name=\"c\"><cp x=\"0\" value=\"255\"/></blend_curve>");
  AnimationParams params;
  params.opacity = 0.5f;
  params.zoom = 0.25f;
  struct Case {
    const char16_t* style;
    double blend;
    int32_t opacity;
  } cases[] = {
      // P[0] is 0.5: the identity curve gives P[0] x opacity, 255 steps deep.
      {u"over", 1.0, 128}, {u"under", 1.0, 0},    {u"half", 2.0, 64},   {u"half", 0.0, 0},
      {u"half", -1.0, 0},  {u"half", 0.5, 63},    {u"over", 0.5, 127},  {u"flat", 2.0, 128},
      {u"flat", 0.5, 256}, {u"inverted", 0.5, 0}, {u"byzoom", 1.0, 64},
  };
  for (const auto& c : cases) {
    RefPtr<ImageStyleGroup> style = doc.Style(c.style);
    ASSERT_TRUE(style && style->Primitives().size() == 1) << Narrow(TString(c.style));
    EXPECT_EQ(style->Primitives()[0]->DrawOpacity(c.blend, params), c.opacity)
        << Narrow(TString(c.style)) << " at " << c.blend;
  }
  EXPECT_EQ(doc.Style(u"over")->Primitives()[0]->Opacity(), 1.0);
  EXPECT_EQ(doc.Style(u"under")->Primitives()[0]->Opacity(), 0.0);
  // Opacity 0 leaves the canvas untouched.
  TestCanvas canvas(4, 4);
  doc.Style(u"half")->Draw({0, 0, 4, 4}, canvas.get(), 1, {}, 0.0);
  EXPECT_EQ(canvas.At(1, 1), 0u);
}

TEST_F(ImageStyleTest, FourPointCornersHoldTheirColoursAndOpacityScalesAlpha) {
  const std::string corners =
      "color_ul=\"#FF0000\" color_ur=\"#00FF00\" color_ll=\"#0000FF\" color_lr=\"#FFFFFF\"";
  TestCanvas full(32, 32), half(32, 32);
  ASSERT_TRUE(DrawNamed("<imagestyle name=\"s\"><gradient_fourpoint " + corners + "/></imagestyle>",
                        u"s", &full));
  EXPECT_EQ(full.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(full.At(31, 0), 0xFF00FF00u);
  EXPECT_EQ(full.At(0, 31), 0xFF0000FFu);
  EXPECT_EQ(full.At(31, 31), 0xFFFFFFFFu);
  AnimationParams params;
  params.opacity = 0.5f;
  ASSERT_TRUE(DrawNamed("<imagestyle name=\"s\"><gradient_fourpoint " + corners + "/></imagestyle>",
                        u"s", &half, 1, 0.5, params));
  EXPECT_NEAR(Alpha(half.At(0, 0)), 128, 2);
  EXPECT_NEAR(Alpha(half.At(31, 31)), 128, 2);
  TestCanvas none(8, 8);
  EXPECT_TRUE(DrawNamed(
      "<imagestyle name=\"s\"><gradient_fourpoint " + corners + " opacity=\"0\"/></imagestyle>",
      u"s", &none));
  EXPECT_EQ(none.InkBounds(), RectI{});
}

TEST_F(ImageStyleTest, PaletteGradientsStartAtTheirFirstEntry) {
  const std::string palette =
      "<palette name=\"p\"><cp x=\"0\" value=\"#FF0000\"/><cp x=\"1\" value=\"#0000FF\"/>"
      "</palette>";
  TestCanvas linear(32, 32), circular(32, 32), radial(32, 32);
  ASSERT_TRUE(DrawNamed(palette + "<imagestyle name=\"s\"><gradient_linear palette=\"p\"/>"
                                  "</imagestyle>",
                        u"s", &linear));
  EXPECT_TRUE(Near(linear.At(0, 16), 0xFFFF0000u, 12)) << std::hex << linear.At(0, 16);
  EXPECT_TRUE(Near(linear.At(31, 16), 0xFF0000FFu, 12)) << std::hex << linear.At(31, 16);
  ASSERT_TRUE(DrawNamed(palette + "<imagestyle name=\"s\"><gradient_circular palette=\"p\" "
                                  "radius=\"16\" center_alignment=\"0.5,0.5\"/></imagestyle>",
                        u"s", &circular));
  EXPECT_TRUE(Near(circular.At(16, 16), 0xFFFF0000u, 12)) << std::hex << circular.At(16, 16);
  EXPECT_TRUE(Near(circular.At(0, 0), 0xFF0000FFu, 2)) << std::hex << circular.At(0, 0);
  ASSERT_TRUE(DrawNamed(palette + "<imagestyle name=\"s\"><gradient_radial palette=\"p\" "
                                  "angle_start=\"0\" angle_end=\"180\" "
                                  "center_alignment=\"0.5,0.5\"/></imagestyle>",
                        u"s", &radial));
  // Just counter-clockwise of the start (right of the centre, above it) is the first entry.
  EXPECT_TRUE(Near(radial.At(30, 15), 0xFFFF0000u, 24)) << std::hex << radial.At(30, 15);
  // An empty placed rectangle draws nothing and answers false.
  TestCanvas empty(8, 8);
  EXPECT_FALSE(DrawNamed(palette + "<imagestyle name=\"s\"><gradient_linear palette=\"p\" "
                                   "offset=\"0,0,-8,0\" alignment=\"0,0,1,1\"/></imagestyle>",
                         u"s", &empty));
}

TEST_F(ImageStyleTest, LanguageListsChooseChildren) {
  const std::string body =
      "<imagestyle name=\"s\"><color_fill language=\"german, english\"/>"
      "<color_fill language=\"French\"/><color_fill/></imagestyle>";
  struct Case {
    const char16_t* language;
    size_t primitives;
  } cases[] = {{u"english", 2}, {u"GERMAN", 2}, {u"french", 2}, {u"dutch", 1}};
  for (const auto& c : cases) {
    StyleDocument doc(body, {}, c.language);
    RefPtr<ImageStyleGroup> style = doc.Style(u"s");
    ASSERT_TRUE(style);
    EXPECT_EQ(style->Primitives().size(), c.primitives) << Narrow(TString(c.language));
  }
}

TEST_F(ImageStyleTest, IncludesSharePrimitivesAndMissingOnesAreReportedWithTheirLine) {
  StyleDocument doc(
      "<imagestyle name=\"base\"><color_fill/><color_rect/></imagestyle>\n"
      "<imagestyle name=\"s\"><include source=\"base\"/>\n"
      "<include source=\"nowhere\"/><color_point/></imagestyle>\n");
  InProcessMarkup::TakeConsole();
  RefPtr<ImageStyleGroup> style = doc.Style(u"s");
  ASSERT_TRUE(style);
  ASSERT_EQ(style->Primitives().size(), 3u);
  std::string console = InProcessMarkup::TakeConsole();
  EXPECT_NE(console.find("Error in tag <include> on line (6)"), std::string::npos) << console;
  EXPECT_NE(console.find("source=\"nowhere\"\nNot found."), std::string::npos) << console;
}

TEST_F(ImageStyleTest, IncludesInACircleStopWithOneReport) {
  StyleDocument doc(
      "<imagestyle name=\"a\"><include source=\"b\"/><color_fill/></imagestyle>\n"
      "<imagestyle name=\"b\"><include source=\"a\"/></imagestyle>\n");
  InProcessMarkup::TakeConsole();
  RefPtr<ImageStyleGroup> style = doc.Style(u"a");
  ASSERT_TRUE(style);
  EXPECT_GE(style->Primitives().size(), 1u);
  std::string console = InProcessMarkup::TakeConsole();
  EXPECT_NE(console.find("circular reference"), std::string::npos) << console;
  EXPECT_EQ(console.find("Not found"), std::string::npos) << console;
}

TEST_F(ImageStyleTest, InvalidColoursWarnAndFallBackToBlack) {
  struct Case {
    const char* tag;
    const char* warning;
  } cases[] = {
      {"color_fill", "Warning: color_fill ImageStyle had invalid colour\n"},
      {"color_rect", "Warning: color_rect ImageStyle had invalid colour\n"},
      {"color_ellipse", "Warning: colorellipse ImageStyle had invalid colour\n"},
      {"color_point", "Warning: colorpoint ImageStyle had invalid colour\n"},
      {"color_line", "Warning: colorline ImageStyle had invalid colour\n"},
  };
  for (const auto& c : cases) {
    StyleDocument doc(std::string("<imagestyle name=\"s\"><") + c.tag +
                      " color=\"nonsense\" filled=\"1\" thickness=\"2\"/></imagestyle>");
    InProcessMarkup::TakeConsole();
    RefPtr<ImageStyleGroup> style = doc.Style(u"s");
    ASSERT_TRUE(style);
    EXPECT_NE(InProcessMarkup::TakeConsole().find(c.warning), std::string::npos) << c.tag;
    TestCanvas canvas(32, 32);
    style->Draw({0, 0, 32, 32}, canvas.get(), 1, {}, 1.0);
    EXPECT_EQ(canvas.At(16, 16), 0xFF000000u) << c.tag;
  }
}

TEST_F(ImageStyleTest, MissingShapeIsReportedAndTheStyleStillDraws) {
  StyleDocument doc("<imagestyle name=\"s\">\n<color_fill shape=\"ghost\"/></imagestyle>");
  InProcessMarkup::TakeConsole();
  RefPtr<ImageStyleGroup> style = doc.Style(u"s");
  ASSERT_TRUE(style);
  std::string console = InProcessMarkup::TakeConsole();
  EXPECT_NE(console.find("Error in tag <color_fill> on line (5)"), std::string::npos) << console;
  EXPECT_NE(console.find("Couldn't find shape: \"ghost\""), std::string::npos) << console;
  TestCanvas canvas(4, 4);
  EXPECT_TRUE(style->Draw({0, 0, 4, 4}, canvas.get(), 1, {}, 1.0));
  EXPECT_EQ(canvas.At(0, 0), 0xFF000000u);
}

TEST_F(ImageStyleTest, UnnamedTransparentAndUnknownChildren) {
  Element element = LoadElement(
      "<imagestyle transparent=\"true\"><color_fill/><sparkle/><color_rect/></imagestyle>");
  markup::StyleScope scope;
  scope.language = u"english";
  RefPtr<ImageStyleGroup> style = markup::LoadImageStyle(scope, element);
  ASSERT_TRUE(style);
  EXPECT_EQ(Narrow(style->GetName()), "_unnamed_");
  EXPECT_TRUE(style->IsTransparent());
  EXPECT_EQ(style->Primitives().size(), 2u);
  EXPECT_FALSE(markup::LoadImageStyle(scope, Element()));
}

TEST_F(ImageStyleTest, TextKeepsOneLineAndDropsIndentationLines) {
  struct Case {
    std::u16string in, out;
  } cases[] = {
      {u" Play ", u" Play "},
      {u"\n    Play\n  ", u"Play"},
      {u"\r\n\tTwo\n\tlines\r\n", u"Two\n\tlines"},
      {u"", u""},
      {u"\n\n", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(markup::TrimIndentedText(TString(c.in)).view(), c.out);
}

TEST_F(ImageStyleTest, TextDrawsInsideItsRectWithAFaceFont) {
  WithFonts fonts;
  TestCanvas canvas(64, 32);
  ASSERT_TRUE(
      DrawNamed("<fontstyle name=\"f\" face=\"DejaVu Sans\" size=\"10\"/>"
                "<imagestyle name=\"s\"><text font_style=\"f\" color=\"#FFFFFF\" "
                "offset=\"8,4,-8,-4\" alignment=\"0,0,1,1\">\n  Hi\n</text></imagestyle>",
                u"s", &canvas));
  RectI ink = canvas.InkBounds();
  EXPECT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 8);
  EXPECT_GE(ink.top, 4);
  EXPECT_LE(ink.right, 56);
  EXPECT_LE(ink.bottom, 28);
}

TEST_F(ImageStyleTest, TextDrawsExactPixelsWithARasterFont) {
  WithFonts fonts;
  StyleDocument doc(
      "<fontstyle name=\"r\" type=\"raster\" source=\"glyphs.psd\"><glyphlist>AB</glyphlist>"
      "</fontstyle>"
      "<imagestyle name=\"s\"><text font_style=\"r\" color=\"#00FF00\" offset=\"2,1,0,0\" "
      "alignment=\"0,0,1,1\">AB</text></imagestyle>",
      {{"glyphs.psd", GlyphStrip()}});
  RefPtr<ImageStyleGroup> style = doc.Style(u"s");
  ASSERT_TRUE(style);
  TestCanvas canvas(16, 8);
  ASSERT_TRUE(style->Draw({0, 0, 16, 8}, canvas.get(), 1, {}, 1.0));
  std::string rows;
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 8; ++x)
      rows += canvas.At(x, y) == 0xFF00FF00u ? '#' : canvas.At(x, y) == 0 ? '.' : '?';
    rows += '\n';
  }
  EXPECT_EQ(rows,
            "........\n"
            "..##.#..\n"
            "..##.#..\n"
            "..##.#..\n"
            "........\n");
}

}  // namespace
}  // namespace vk2::test
