// What the gradient primitives hand the canvas (records, codes, angles) and that every draw
// leaves the clip stack as it found it. A recording canvas stands in: these are arguments the
// real canvas would only show indirectly.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/markup/styles/style_fixture.h"

namespace vk2::test {
namespace {

class RecordingCanvas final : public MCanvas {
 public:
  struct Fill {
    int32_t kind;
    RectI rect;
    std::vector<uint8_t> record;
  };
  explicit RecordingCanvas(bool dithering) : dithering_(dithering) {}

  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    if (out) *out = nullptr;
    return kErrUnknownInterface;
  }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  int32_t GetTarget(SurfaceView*) override { return kErrNotFound; }
  bool IsDithering() override { return dithering_; }
  int32_t FillRect(const RectF&, uint32_t, uint64_t, int32_t, bool) override { return 0; }
  int32_t FrameRect(const RectF&, double, double, uint32_t, uint64_t, int32_t, bool) override {
    return 0;
  }
  int32_t FillRoundRect(const RectF&, double, double, uint32_t, uint64_t, int32_t, bool) override {
    return 0;
  }
  int32_t FrameRoundRect(const RectF&, double, double, double, uint32_t, uint64_t, int32_t,
                         bool) override {
    return 0;
  }
  int32_t Ellipse(double, double, double, double, uint32_t, bool, uint64_t, double, int32_t,
                  bool) override {
    return 0;
  }
  int32_t Line(double, double, double, double, uint32_t, uint64_t, double, int32_t, bool) override {
    return 0;
  }
  int32_t Point(double, double, uint32_t, uint64_t, int32_t, bool) override { return 0; }
  int32_t GeneratedFill(int32_t kind, const RectI& rect, const void* record,
                        const uint32_t*) override {
    size_t size = kind == kFillRadial     ? sizeof(RadialFillRecord)
                  : kind == kFillCircular ? sizeof(CircularFillRecord)
                  : kind == kFillLinear   ? sizeof(LinearFillRecord)
                                          : sizeof(FourPointFillRecord);
    const auto* bytes = static_cast<const uint8_t*>(record);
    fills.push_back({kind, rect, std::vector<uint8_t>(bytes, bytes + size)});
    return 0;
  }
  int32_t Blit(const BlitSource&, int32_t, int32_t, uint64_t, int32_t) override { return 0; }
  int32_t StretchBlit(const BlitSource&, const RectI&, uint64_t, int32_t) override { return 0; }
  int32_t TileBlit(const BlitSource&, const RectI&, int32_t, int32_t, uint64_t, int32_t) override {
    return 0;
  }
  int32_t RotateBlit(const BlitSource&, const RotateArgs&, uint64_t, int32_t) override { return 0; }
  int32_t FillCoverage(const SurfaceView&, int32_t, int32_t, uint32_t, uint64_t, int32_t) override {
    return 0;
  }
  int32_t PushClipRect(const RectI&, int32_t, int32_t push) override {
    depth += push ? 1 : 0;
    return 1;
  }
  int32_t ClipToMask(const SurfaceView&, int32_t, int32_t, int32_t, int32_t push) override {
    depth += push ? 1 : 0;
    ++maskClips;
    return 1;
  }
  int32_t PopClip(int32_t count) override {
    depth -= count;
    return count;
  }
  int32_t GetClipBounds(RectI* bounds) override {
    *bounds = {0, 0, 64, 64};
    return 0;
  }
  int32_t MarkDamage(const RectI&, uint32_t, uint32_t) override { return 0; }
  int32_t TakeDamage(RectI*) override { return 0; }

  template <class Record>
  Record As(size_t index) const {
    Record r;
    std::memcpy(&r, fills.at(index).record.data(), sizeof r);
    return r;
  }

  std::vector<Fill> fills;
  int32_t depth = 0;
  int32_t maskClips = 0;

 private:
  bool dithering_;
};

class CanvasRecordsTest : public ::testing::Test {
 protected:
  InProcessMarkup services_;
};

TEST_F(CanvasRecordsTest, GradientRecordsCarryAnglesCentresAndFlags) {
  StyleDocument doc(
      "<imagestyle name=\"s\">"
      "<gradient_linear angle=\"90\" spread=\"1.5\"/>"
      "<gradient_circular radius=\"7\" center_offset=\"3,4\" center_alignment=\"0.5,0\"/>"
      "<gradient_radial angle_start=\"90\" angle_end=\"180\" angle_direction=\"-1\" "
      "center_alignment=\"1,1\"/>"
      "<gradient_fourpoint color_ul=\"0x80FF0000\" blendmode=\"COPY\"/>"
      "</imagestyle>");
  RefPtr<markup::ImageStyleGroup> style = doc.Style(u"s");
  ASSERT_TRUE(style);
  markup::AnimationParams params;
  params.angle = 90;
  for (bool dithering : {false, true}) {
    RecordingCanvas canvas(dithering);
    ASSERT_TRUE(style->Draw({10, 10, 42, 30}, &canvas, 1, params, 1.0));
    ASSERT_EQ(canvas.fills.size(), 4u);
    EXPECT_EQ(canvas.depth, 0);
    auto linear = canvas.As<LinearFillRecord>(0);
    EXPECT_EQ(canvas.fills[0].kind, kFillLinear);
    EXPECT_EQ(canvas.fills[0].rect, (RectI{10, 10, 42, 30}));
    EXPECT_EQ(linear.angle, 16383);  // a quarter turn, truncated
    EXPECT_EQ(linear.spread, 0x18000);
    EXPECT_EQ(linear.head.opacity, 256);
    EXPECT_EQ((linear.head.code & kBlendDither) != 0, dithering);
    EXPECT_NE(linear.head.code & kBlendOpacity, 0u);
    auto circular = canvas.As<CircularFillRecord>(1);
    EXPECT_EQ(circular.centerX, 3 + 16);
    EXPECT_EQ(circular.centerY, 4);
    EXPECT_EQ(circular.radius, 7);
    // The angle source (90) adds to both ends; the direction turns them.
    auto radial = canvas.As<RadialFillRecord>(2);
    EXPECT_EQ(radial.centerX, 32);
    EXPECT_EQ(radial.centerY, 20);
    // -180 and -270 degrees, each a hair short (the markup's degree factor is truncated).
    EXPECT_EQ(radial.startAngle, 65536 - 32767);
    EXPECT_EQ(radial.endAngle, 65536 - 49151);
    EXPECT_EQ(radial.direction, 1);
    auto four = canvas.As<FourPointFillRecord>(3);
    EXPECT_EQ((four.code & kBlendFourPointPlain) != 0, !dithering);
    EXPECT_EQ(four.code & kBlendOpacity, 0u);  // applied to the corners instead
    EXPECT_EQ(four.colors[0], 0x80FF0000u);
  }
}

TEST_F(CanvasRecordsTest, EveryPrimitiveLeavesTheClipStackAsItFoundIt) {
  StyleDocument doc(
      "<shape name=\"round\"><shape_ellipse/></shape>"
      "<imagestyle name=\"s\"><color_fill/><color_rect/><color_ellipse/><color_point/>"
      "<color_line/><gradient_fourpoint/><gradient_linear/><gradient_circular/>"
      "<gradient_radial/><text>t</text><color_fill shape=\"round\"/><color_fill clip=\"0\"/>"
      "<raster source=\"i.psd\"/><raster source=\"i.psd\" fillmode=\"tile\"/>"
      "<raster source=\"i.psd\" fillmode=\"resize\" inner_rect=\"1,1,2,2\" "
      "outer_rect=\"0,0,3,3\"/></imagestyle>",
      {{"i.psd", ImageFile(3, 3, std::vector<uint32_t>(9, 0xFF102030u))}});
  RefPtr<markup::ImageStyleGroup> style = doc.Style(u"s");
  ASSERT_TRUE(style);
  EXPECT_EQ(style->Primitives().size(), 15u);
  RecordingCanvas canvas(false);
  style->Draw({0, 0, 20, 20}, &canvas, 1, {}, 1.0);
  EXPECT_EQ(canvas.depth, 0);
  EXPECT_EQ(canvas.maskClips, 1);
}

}  // namespace
}  // namespace vk2::test
