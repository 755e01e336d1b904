// Composition of a host: parts painted in tree order into one surface, clipped to their
// parents, faded parts blended, hidden parts left out, panned parts shifted; PNG dumps.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdio>
#include <string>

#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

constexpr uint32_t kGrey = 0xFF404040;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;

class CompositionTest : public GuiTest {
 protected:
  void SetUp() override {
    root_ = RecordingPart::Make(kGrey);
    host_ = MakeHost(root_.Get(), RectI{0, 0, 64, 48});
  }
  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
};

TEST_F(CompositionTest, ChildrenPaintOverTheirParentAndAreClippedToIt) {
  RefPtr<RecordingPart> red = AddChild(root_.Get(), 10, 10, 20, 20, kRed);
  RefPtr<RecordingPart> blue = AddChild(red.Get(), 15, 15, 20, 20, kBlue);
  Turn();
  EXPECT_EQ(PixelAt(host_.Get(), 5, 5), kGrey);
  EXPECT_EQ(PixelAt(host_.Get(), 12, 12), kRed);
  EXPECT_EQ(PixelAt(host_.Get(), 27, 27), kBlue);
  EXPECT_EQ(PixelAt(host_.Get(), 32, 32), kGrey);  // blue beyond its parent is cut off
}

TEST_F(CompositionTest, HiddenPartsAreLeftOutAndTheirAreaRepainted) {
  RefPtr<RecordingPart> red = AddChild(root_.Get(), 10, 10, 20, 20, kRed);
  Turn();
  ASSERT_EQ(PixelAt(host_.Get(), 12, 12), kRed);
  red->SetVisible(false);
  Turn();
  EXPECT_EQ(PixelAt(host_.Get(), 12, 12), kGrey);
}

TEST_F(CompositionTest, FadedPartBlendsWithWhatLiesBelow) {
  RefPtr<RecordingPart> red = AddChild(root_.Get(), 10, 10, 20, 20, kRed);
  red->SetOpacity(128);
  Turn();
  const uint32_t p = PixelAt(host_.Get(), 12, 12);
  EXPECT_EQ(p >> 24, 0xFFu);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), (0xFF + 0x40) / 2, 2);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 0x40 / 2, 2);
}

TEST_F(CompositionTest, PartsPartlyOffTheHostAndPannedPartsLandShifted) {
  RefPtr<RecordingPart> red = AddChild(root_.Get(), -10, -10, 20, 20, kRed);
  Turn();
  EXPECT_EQ(PixelAt(host_.Get(), 5, 5), kRed);
  EXPECT_EQ(PixelAt(host_.Get(), 12, 12), kGrey);
  // A panned part draws its virtual area shifted by the pan: a blue child at (30, 0) of a
  // 100-wide virtual area shows at 30 - pan.
  RefPtr<RecordingPart> viewport = AddChild(root_.Get(), 20, 20, 40, 20);
  viewport->SetVirtualSize(SizeI{100, 20});
  RefPtr<RecordingPart> blue = AddChild(viewport.Get(), 30, 0, 10, 20, kBlue);
  viewport->SetPan(PointI{25, 0});
  Turn();
  EXPECT_EQ(PixelAt(host_.Get(), 20 + 5, 25), kBlue);
  EXPECT_EQ(PixelAt(host_.Get(), 20 + 16, 25), kGrey);
}

TEST_F(CompositionTest, OnlyDamagedFramesArePresented) {
  const uint64_t before = backend_->Window(host_->BackendWindow()).presentCount;
  Step(100);
  EXPECT_EQ(backend_->Window(host_->BackendWindow()).presentCount, before);
  root_->Repaint();
  Turn();
  EXPECT_EQ(backend_->Window(host_->BackendWindow()).presentCount, before + 1);
}

TEST_F(CompositionTest, DumpWritesThePresentedPixels) {
  RefPtr<RecordingPart> red = AddChild(root_.Get(), 10, 10, 20, 20, kRed);
  Turn();
  const std::string path = ::testing::TempDir() + "/vk2_gui_dump.png";
  ASSERT_EQ(host_->DumpPng(path.c_str()), 0);
  int w = 0, h = 0, n = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &n, 4);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
  const unsigned char* px = data + (12 * w + 12) * 4;
  EXPECT_EQ(px[0], 0xFF);
  EXPECT_EQ(px[1], 0x00);
  EXPECT_EQ(px[2], 0x00);
  stbi_image_free(data);
  std::remove(path.c_str());
  EXPECT_LT(host_->DumpPng("/nonexistent-dir/x.png"), 0);
}

}  // namespace
}  // namespace vk2::gui::test
