// Shapes and hit styles: combine words, the mask cache, clipping image styles, window outlines
// and hit codes at chosen points of every shape kind.
#include <gtest/gtest.h>

#include "markup/services/markup_services.h"
#include "tests/markup/styles/style_fixture.h"

namespace vk2::test {
namespace {

using markup::HitStyle;
using markup::ShapeGroup;

class ShapeTest : public ::testing::Test {
 protected:
  InProcessMarkup services_;
};

// Which of three probe columns (2, 8, 14) of a 16 x 4 rectangle the shape holds, as "101".
std::string Columns(ShapeGroup* shape) {
  std::string out;
  for (int32_t x : {2, 8, 14})
    out += shape->HitTest({0, 0, 16, 4}, x, 1) ? '1' : '0';
  return out;
}

TEST_F(ShapeTest, WordsBetweenChildrenCombineThem) {
  struct Case {
    const char* word;
    const char* columns;
  } cases[] = {{"", "111"},    {"or", "111"},   {"and", "010"},  {"AnD", "010"},
               {"xor", "101"}, {"DIFF", "100"}, {"maybe", "111"}};
  for (const auto& c : cases) {
    StyleDocument doc(
        std::string(
            "<shape name=\"s\">\n  <shape_rect offset=\"0,0,-4,0\" alignment=\"0,0,1,1\"/>\n  ") +
        c.word + "\n  <shape_rect offset=\"4,0,0,0\" alignment=\"0,0,1,1\"/>\n</shape>");
    RefPtr<ShapeGroup> shape = doc.Shape(u"s");
    ASSERT_TRUE(shape) << c.word;
    EXPECT_EQ(Columns(shape.Get()), c.columns) << c.word;
  }
}

TEST_F(ShapeTest, EmptyIntersectionClearsAndAnEmptyGroupCoversAll) {
  StyleDocument doc(
      "<shape name=\"cleared\"><shape_rect/> and <shape_rect offset=\"0,0,-16,0\" "
      "alignment=\"0,0,1,1\"/>"
      "<shape_rect offset=\"12,0,0,0\" alignment=\"0,0,1,1\"/></shape>"
      "<shape name=\"none\"></shape>");
  RefPtr<ShapeGroup> cleared = doc.Shape(u"cleared");
  ASSERT_TRUE(cleared);
  EXPECT_EQ(Columns(cleared.Get()), "001");
  RefPtr<ShapeGroup> none = doc.Shape(u"none");
  ASSERT_TRUE(none);
  EXPECT_EQ(Columns(none.Get()), "111");
}

TEST_F(ShapeTest, TheMaskIsBuiltOncePerRectangle) {
  StyleDocument doc("<shape name=\"s\"><shape_ellipse/></shape>");
  RefPtr<ShapeGroup> shape = doc.Shape(u"s");
  ASSERT_TRUE(shape);
  TestCanvas canvas(16, 16);
  EXPECT_TRUE(shape->ClipCanvas({0, 0, 16, 16}, canvas.get(), kClipIntersect, 1));
  canvas.get()->PopClip(1);
  EXPECT_TRUE(shape->ClipCanvas({0, 0, 16, 16}, canvas.get(), kClipIntersect, 1));
  canvas.get()->PopClip(1);
  EXPECT_EQ(shape->Builds(), 1);
  shape->HitTest({0, 0, 8, 8}, 4, 4);
  EXPECT_EQ(shape->Builds(), 2);
  EXPECT_FALSE(shape->ClipCanvas({0, 0, 8, 8}, nullptr, kClipIntersect, 1));
}

TEST_F(ShapeTest, ImageStylesClipToTheirShape) {
  StyleDocument doc(
      "<shape name=\"round\"><shape_ellipse/></shape>"
      "<imagestyle name=\"s\"><color_fill color=\"#FF0000\" shape=\"round\"/></imagestyle>"
      "<imagestyle name=\"free\"><color_fill color=\"#FF0000\" shape=\"round\" clip=\"0\" "
      "offset=\"-4,-4,4,4\" alignment=\"0,0,1,1\"/></imagestyle>"
      "<imagestyle name=\"boxed\"><color_fill color=\"#FF0000\" offset=\"-4,-4,4,4\" "
      "alignment=\"0,0,1,1\"/>"
      "</imagestyle>");
  TestCanvas canvas(20, 20);
  ASSERT_TRUE(doc.Style(u"s")->Draw({2, 2, 18, 18}, canvas.get(), 1, {}, 1.0));
  EXPECT_EQ(canvas.At(10, 10), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(2, 2), 0u);
  EXPECT_EQ(canvas.At(17, 17), 0u);
  EXPECT_EQ(canvas.At(2, 10), 0xFFFF0000u);
  // The clip is popped afterwards: a following draw is not cut.
  TestCanvas after(20, 20);
  doc.Style(u"s")->Draw({2, 2, 18, 18}, after.get(), 1, {}, 1.0);
  doc.Style(u"boxed")->Draw({2, 2, 18, 18}, after.get(), 1, {}, 1.0);
  EXPECT_EQ(after.At(2, 2), 0xFFFF0000u);
  EXPECT_EQ(after.At(1, 1), 0u);  // the unplaced rectangle clips
  TestCanvas unclipped(20, 20);
  doc.Style(u"free")->Draw({2, 2, 18, 18}, unclipped.get(), 1, {}, 1.0);
  EXPECT_EQ(unclipped.At(0, 0), 0xFFFF0000u);
}

TEST_F(ShapeTest, HitCodesAtChosenPointsOfEveryShapeKind) {
  // 8 x 8, opaque but for a clear 4 x 4 top-left quarter.
  std::vector<uint32_t> pixels(64, 0xFF000000u);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      pixels[static_cast<size_t>(y * 8 + x)] = 0;
  }
  StyleDocument doc(
      "<shape name=\"grip\"><shape_rect offset=\"-8,-8,0,0\" alignment=\"1,1,1,1\"/></shape>"
      "<hitstyle name=\"h\" default_hitcode=\"DRAG\">"
      "<hitcode type=\"INPUTFOCUS\"><shape><shape_ellipse offset=\"16,0,32,16\" "
      "alignment=\"0,0,0,0\"/></shape></hitcode>"
      "<hitcode type=\"TOPLEFT\"><shape><shape_roundrect corner_size=\"8,8\" "
      "offset=\"0,16,16,32\" alignment=\"0,0,0,0\"/></shape></hitcode>"
      "<hitcode type=\"LEFT\"><shape><shape_raster source=\"m.psd\" offset=\"16,16,24,24\" "
      "alignment=\"0,0,0,0\"/></shape></hitcode>"
      "<hitcode type=\"BOTTOMRIGHT\" shape=\"grip\"/>"
      "<hitcode type=\"TOP\"/>"
      "</hitstyle>",
      {{"m.psd", ImageFile(8, 8, pixels)}});
  RefPtr<HitStyle> hits = markup::FindHitStyle(doc.Scope(), u"h");
  ASSERT_TRUE(hits);
  EXPECT_EQ(hits->Count(), 4u);
  EXPECT_EQ(hits->DefaultCode(), 0x3000u);
  const RectI window{0, 0, 40, 40};
  struct Case {
    int32_t x, y;
    uint32_t code;
  } cases[] = {
      {24, 8, 0x8},      // ellipse centre
      {17, 1, 0x3000},   // ellipse's corner misses
      {8, 24, 0x8000},   // rounded rectangle
      {0, 16, 0x3000},   // its rounded corner misses
      {22, 22, 0x7000},  // opaque part of the mask
      {17, 17, 0x3000},  // clear part
      {39, 39, 0xC000},  // grip, the last entry, tried first
      {35, 2, 0x3000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(hits->HitCode(window, c.x, c.y), c.code) << c.x << "," << c.y;
  // A code list stands for itself.
  RefPtr<HitStyle> literal = markup::FindHitStyle(doc.Scope(), u"DRAGX");
  ASSERT_TRUE(literal);
  EXPECT_EQ(literal->HitCode(window, 3, 3), 0x1000u);
  EXPECT_FALSE(markup::FindHitStyle(doc.Scope(), u"nothing_of_that_name"));
}

TEST_F(ShapeTest, NineSliceMasksKeepTheImageCorners) {
  // 6 x 6, opaque but for its top-left pixel.
  std::vector<uint32_t> pixels(36, 0xFF000000u);
  pixels[0] = 0;
  struct Case {
    const char* mode;
    const char* expected;  // (0,0) (1,1) (8,0) (8,8)
  } cases[] = {{"resize", "0111"}, {"resize_corneronly", "0100"}, {"resize_nocorner", "0011"}};
  for (const auto& c : cases) {
    StyleDocument doc(std::string("<shape name=\"s\"><shape_raster source=\"m.psd\" fillmode=\"") +
                          c.mode + "\" inner_rect=\"2,2,4,4\" outer_rect=\"0,0,6,6\"/></shape>",
                      {{"m.psd", ImageFile(6, 6, pixels)}});
    RefPtr<ShapeGroup> shape = doc.Shape(u"s");
    ASSERT_TRUE(shape) << c.mode;
    std::string got;
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {8, 0}, {8, 8}})
      got += shape->HitTest({0, 0, 16, 16}, x, y) ? '1' : '0';
    EXPECT_EQ(got, c.expected) << c.mode;
  }
}

TEST_F(ShapeTest, WindowsTakeTheirOutlineFromTheShape) {
  StyleDocument doc("<shape name=\"s\"><shape_ellipse/></shape>");
  RefPtr<ShapeGroup> shape = doc.Shape(u"s");
  ASSERT_TRUE(shape);
  RefPtr<MMaskImage> window;
  ASSERT_EQ(markup::ImageService()->CreateMask(16, 16, window.Put()), 0);
  window->CombineRect({0, 0, 16, 16}, kClipReplace);
  EXPECT_TRUE(shape->ApplyToWindow({0, 0, 16, 16}, window.Get()));
  EXPECT_EQ(window->Value(8, 8), 1);
  EXPECT_EQ(window->Value(0, 0), 0);
  EXPECT_EQ(window->Value(15, 15), 0);
  EXPECT_FALSE(shape->ApplyToWindow({0, 0, 16, 16}, nullptr));
}

TEST_F(ShapeTest, BadChildrenAreReportedAndTheRestLoads) {
  StyleDocument doc(
      "<shape name=\"s\">\n"
      "<include source=\"nowhere\"/>\n"
      "<shape_raster source=\"missing.png\"/>\n"
      "<shape_rect offset=\"0,0,-8,0\" alignment=\"0,0,1,1\"/>\n"
      "<shape_rect language=\"german\"/>\n"
      "</shape>\n"
      "<shape name=\"loop\"><include source=\"loop\"/></shape>\n");
  InProcessMarkup::TakeConsole();
  RefPtr<ShapeGroup> shape = doc.Shape(u"s");
  ASSERT_TRUE(shape);
  EXPECT_EQ(shape->Count(), 1u);
  EXPECT_EQ(Columns(shape.Get()), "100");
  std::string console = InProcessMarkup::TakeConsole();
  EXPECT_NE(console.find("Error in tag <include> on line (5)"), std::string::npos) << console;
  EXPECT_NE(console.find("source=\"nowhere\"\nNot found.\n"), std::string::npos) << console;
  EXPECT_NE(console.find("<shape_raster> on line (6)"), std::string::npos) << console;
  RefPtr<ShapeGroup> loop = doc.Shape(u"loop");
  ASSERT_TRUE(loop);
  EXPECT_NE(InProcessMarkup::TakeConsole().find("circular reference"), std::string::npos);
}

}  // namespace
}  // namespace vk2::test
