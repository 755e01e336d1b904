// The raster primitive: fill modes, film-strip frames and their cross-fade, 8-bit conversion.
#include <gtest/gtest.h>

#include "markup/styles/raster_style.h"
#include "tests/markup/styles/style_fixture.h"

namespace vk2::test {
namespace {

using markup::AnimationParams;
using markup::ImageStyleGroup;
using markup::RasterStyle;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

std::vector<uint32_t> Solid(int32_t w, int32_t h, uint32_t color) {
  return std::vector<uint32_t>(static_cast<size_t>(w * h), color);
}

// A strip of `frames` frames, each `fw` x 1 in its own colour.
std::string Strip(const std::vector<uint32_t>& colors, int32_t fw) {
  std::vector<uint32_t> pixels;
  for (uint32_t c : colors)
    pixels.insert(pixels.end(), static_cast<size_t>(fw), c);
  return ImageFile(static_cast<int32_t>(pixels.size()), 1, pixels);
}

// 6 x 6: corners red, edges green, centre blue, for inner_rect 2,2,4,4.
std::string NineSlice() {
  std::vector<uint32_t> p;
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      bool midX = x >= 2 && x < 4, midY = y >= 2 && y < 4;
      p.push_back(midX && midY ? kBlue : (midX || midY) ? kGreen : kRed);
    }
  }
  return ImageFile(6, 6, p);
}

class RasterStyleTest : public ::testing::Test {
 protected:
  RefPtr<ImageStyleGroup> Load(const std::string& raster,
                               std::map<std::string, std::string> files) {
    doc_ = std::make_unique<StyleDocument>("<imagestyle name=\"s\">\n" + raster + "</imagestyle>",
                                           std::move(files));
    return doc_->Style(u"s");
  }
  RasterStyle* First(const RefPtr<ImageStyleGroup>& style) {
    return style && !style->Primitives().empty()
               ? static_cast<RasterStyle*>(style->Primitives()[0].Get())
               : nullptr;
  }

  InProcessMarkup services_;
  std::unique_ptr<StyleDocument> doc_;
};

TEST_F(RasterStyleTest, FramesFollowTheAnimationTime) {
  auto style = Load("<raster source=\"strip.psd\" num_frames=\"4\"/>",
                    {{"strip.psd", ImageFile(400, 1, Solid(400, 1, kRed))}});
  RasterStyle* raster = First(style);
  ASSERT_TRUE(raster);
  EXPECT_EQ(raster->FrameWidth(), 100);
  struct Case {
    double t;
    int32_t frame;
  } cases[] = {{0.0, 0}, {0.3, 1}, {1.0, 3}, {2.0, 3}, {-0.25, 3}, {-1.0, 3}, {0.99, 3}};
  for (const auto& c : cases) {
    int32_t frame = -1;
    double r = 0;
    raster->ChooseFrame(c.t, &frame, &r);
    EXPECT_EQ(frame, c.frame) << c.t;
  }
}

TEST_F(RasterStyleTest, TheChosenFrameIsDrawnAndBlendedFramesCrossFade) {
  const std::string strip = Strip({kRed, kGreen, kBlue, kWhite}, 2);
  auto plain = Load("<raster source=\"strip.psd\" num_frames=\"4\" fillmode=\"stretch\"/>",
                    {{"strip.psd", strip}});
  ASSERT_TRUE(plain);
  AnimationParams params;
  params.time = 0.3f;
  TestCanvas canvas(4, 4);
  plain->Draw({0, 0, 4, 4}, canvas.get(), 1, params, 1.0);
  EXPECT_EQ(canvas.At(0, 0), kGreen);
  EXPECT_EQ(canvas.At(3, 3), kGreen);

  auto blended = Load(
      "<raster source=\"strip.psd\" num_frames=\"4\" blend_frames=\"1\" fillmode=\"stretch\"/>",
      {{"strip.psd", strip}});
  ASSERT_TRUE(blended);
  int32_t frame = 0;
  double r = 0;
  First(blended)->ChooseFrame(0.375, &frame, &r);
  EXPECT_EQ(frame, 1);
  EXPECT_DOUBLE_EQ(r, 0.5);
  params.time = 0.375f;
  blended->Draw({0, 0, 4, 4}, canvas.get(), 1, params, 1.0);
  // Green and blue half and half.
  EXPECT_TRUE(Near(canvas.At(1, 1), 0xFF008080u, 2)) << std::hex << canvas.At(1, 1);
  // Past the last frame the next one is the first: white toward red.
  params.time = 0.875f;
  blended->Draw({0, 0, 4, 4}, canvas.get(), 1, params, 1.0);
  EXPECT_TRUE(Near(canvas.At(1, 1), 0xFFFF8080u, 2)) << std::hex << canvas.At(1, 1);
}

TEST_F(RasterStyleTest, OnceTileAndStretchPlaceTheImage) {
  std::vector<uint32_t> checker = {kRed, kGreen, kBlue, kWhite};
  std::map<std::string, std::string> files = {{"c.psd", ImageFile(2, 2, checker)},
                                              {"r.psd", ImageFile(4, 4, Solid(4, 4, kRed))},
                                              {"h.psd", ImageFile(2, 1, {kRed, kBlue})}};
  TestCanvas once(8, 8), tile(8, 8), stretch(8, 4);
  auto style = Load(
      "<raster source=\"r.psd\" source_offset=\"2,2\" offset=\"0,0,-2,-2\" alignment=\"0,0,1,1\"/>",
      files);
  ASSERT_TRUE(style);
  style->Draw({0, 0, 8, 8}, once.get(), 1, {}, 1.0);
  EXPECT_EQ(once.At(1, 1), 0u);
  EXPECT_EQ(once.At(2, 2), kRed);
  EXPECT_EQ(once.At(5, 5), kRed);
  EXPECT_EQ(once.At(6, 6), 0u);  // outside the placed rectangle

  style = Load("<raster source=\"c.psd\" fillmode=\"tile\"/>", files);
  ASSERT_TRUE(style);
  style->Draw({0, 0, 8, 8}, tile.get(), 1, {}, 1.0);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x)
      ASSERT_EQ(tile.At(x, y), checker[static_cast<size_t>((y % 2) * 2 + x % 2)]) << x << "," << y;
  }

  style = Load("<raster source=\"h.psd\" fillmode=\"stretch\"/>", files);
  ASSERT_TRUE(style);
  style->Draw({0, 0, 8, 4}, stretch.get(), 1, {}, 1.0);
  EXPECT_EQ(stretch.At(0, 0), kRed);
  EXPECT_EQ(stretch.At(3, 3), kRed);
  EXPECT_EQ(stretch.At(4, 0), kBlue);
  EXPECT_EQ(stretch.At(7, 3), kBlue);
}

TEST_F(RasterStyleTest, TileSizeStepsThePattern) {
  auto style = Load("<raster source=\"r.psd\" fillmode=\"tile\" tile_size=\"4,4\"/>",
                    {{"r.psd", ImageFile(2, 2, Solid(2, 2, kRed))}});
  ASSERT_TRUE(style);
  TestCanvas canvas(8, 8);
  style->Draw({0, 0, 8, 8}, canvas.get(), 1, {}, 1.0);
  EXPECT_EQ(canvas.At(0, 0), kRed);
  EXPECT_EQ(canvas.At(2, 2), 0u);
  EXPECT_EQ(canvas.At(4, 4), kRed);
  EXPECT_EQ(canvas.At(6, 0), 0u);
}

TEST_F(RasterStyleTest, NineSliceModesDrawCornersAndEdgesButNoCentre) {
  struct Case {
    const char* mode;
    uint32_t corner, edge;
  } cases[] = {
      {"resize", kRed, kGreen}, {"resize_corneronly", kRed, 0}, {"resize_nocorner", 0, kGreen}};
  for (const auto& c : cases) {
    auto style = Load(std::string("<raster source=\"n.psd\" fillmode=\"") + c.mode +
                          "\" inner_rect=\"2,2,4,4\" outer_rect=\"0,0,6,6\"/>",
                      {{"n.psd", NineSlice()}});
    ASSERT_TRUE(style) << c.mode;
    TestCanvas canvas(16, 16);
    style->Draw({0, 0, 16, 16}, canvas.get(), 1, {}, 1.0);
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}, {1, 1}})
      EXPECT_EQ(canvas.At(x, y), c.corner) << c.mode << " corner " << x << "," << y;
    for (auto [x, y] : {std::pair{8, 0}, {8, 15}, {0, 8}, {15, 8}, {2, 1}, {13, 1}})
      EXPECT_EQ(canvas.At(x, y), c.edge) << c.mode << " edge " << x << "," << y;
    EXPECT_EQ(canvas.At(8, 8), 0u) << c.mode;
  }
}

TEST_F(RasterStyleTest, EdgesRepeatAndTheLastRepeatIsCut) {
  // 14 x 3: corners 2 wide, a 10-pixel top edge whose columns count up in blue.
  std::vector<uint32_t> p;
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 14; ++x) {
      bool edge = x >= 2 && x < 12;
      p.push_back(edge ? 0xFF000000u | static_cast<uint32_t>(10 * (x - 2) + 10) : kRed);
    }
  }
  auto style = Load(
      "<raster source=\"e.psd\" fillmode=\"resize\" inner_rect=\"2,1,12,2\" "
      "outer_rect=\"0,0,14,3\"/>",
      {{"e.psd", ImageFile(14, 3, p)}});
  ASSERT_TRUE(style);
  // 2 + 35 + 2 wide: the band holds three whole pieces and half of a fourth.
  TestCanvas canvas(39, 3);
  style->Draw({0, 0, 39, 3}, canvas.get(), 1, {}, 1.0);
  for (int32_t k = 0; k < 4; ++k) {
    for (int32_t j = 0; j < 10; ++j) {
      int32_t x = 2 + 10 * k + j;
      if (x >= 37) break;
      ASSERT_EQ(Blue(canvas.At(x, 0)), 10 * j + 10) << x;
    }
  }
  EXPECT_EQ(canvas.At(37, 0), kRed);
  EXPECT_EQ(canvas.At(38, 0), kRed);
}

TEST_F(RasterStyleTest, RotateCentresTheTurnedImage) {
  auto style = Load(
      "<raster source=\"r.psd\" fillmode=\"rotate\" zoom=\"1.41421356\" angle=\"90\" "
      "center_alignment=\"0.5,0.5\" source_center_alignment=\"0.5,0.5\"/>",
      {{"r.psd", ImageFile(4, 2, Solid(8, 1, kRed))}});
  ASSERT_TRUE(style);
  TestCanvas canvas(16, 16);
  style->Draw({0, 0, 16, 16}, canvas.get(), 1, {}, 1.0);
  // 4 x 2 turned a quarter: 2 wide and 4 high about (8, 8).
  EXPECT_EQ(canvas.InkBounds(), (RectI{7, 6, 9, 10}));
}

TEST_F(RasterStyleTest, EightBitConversionWordsAndFailedImages) {
  std::map<std::string, std::string> files = {{"a.psd", ImageFile(2, 2, Solid(2, 2, 0x80FF0000))}};
  InProcessMarkup::TakeConsole();
  auto style = Load("<raster source=\"a.psd\" force8bit=\"Alpha\"/>", files);
  ASSERT_TRUE(style);
  EXPECT_EQ(InProcessMarkup::TakeConsole(), "");
  TestCanvas canvas(2, 2);
  style->Draw({0, 0, 2, 2}, canvas.get(), 1, {}, 1.0);
  // Alpha 0x80 through the default black-to-white ramp.
  EXPECT_TRUE(Near(canvas.At(0, 0), 0xFF808080u, 2)) << std::hex << canvas.At(0, 0);

  style = Load("<raster source=\"a.psd\" force8bit=\"purple\"/>", files);
  ASSERT_TRUE(style);
  EXPECT_EQ(style->Primitives().size(), 1u);
  std::string console = InProcessMarkup::TakeConsole();
  EXPECT_NE(console.find("Error in tag <raster> on line (5)"), std::string::npos) << console;
  EXPECT_NE(console.find("force8bit=\"purple\"\nNot a valid 8bit conversion type.\n"),
            std::string::npos)
      << console;

  style = Load("<raster source=\"missing.png\"/><color_fill/>", files);
  ASSERT_TRUE(style);
  EXPECT_EQ(style->Primitives().size(), 1u);
  EXPECT_NE(InProcessMarkup::TakeConsole().find("<raster>"), std::string::npos);
}

}  // namespace
}  // namespace vk2::test
