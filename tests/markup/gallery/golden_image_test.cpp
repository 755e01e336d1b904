// The golden comparison the gallery relies on: tolerance, the evidence written on a mismatch,
// missing goldens and the update mode.
#include "tests/support/golden_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

// Sets an environment variable for one scope, restoring what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* before = std::getenv(name);
    had_ = before != nullptr;
    if (had_) before_ = before;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_, before_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string before_;
};

// Premultiplied pixels with a view over them.
struct Pixels {
  std::vector<uint32_t> argb;
  SurfaceView view;
  Pixels(int32_t width, int32_t height, uint32_t fill) : argb(size_t(width) * height, fill) {
    view.bits = reinterpret_cast<uint8_t*>(argb.data());
    view.width = width;
    view.height = height;
    view.strideBytes = width * 4;
  }
};

class GoldenImageTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  ScopedEnv output_{"VK2_GOLDEN_OUTPUT", nullptr};
  ScopedEnv update_{"VK2_UPDATE_GOLDEN", nullptr};
  std::string golden_ = folder_ / "golden/sample.png";
  std::string outputs_ = folder_ / "out";

  void MakeGolden(const Pixels& pixels) {
    ASSERT_TRUE(WritePngImage(StraightRgba(pixels.view), golden_));
  }
};

TEST_F(GoldenImageTest, DifferencesWithinTheToleranceMatchAndLargerOnesFailWithEvidence) {
  ScopedEnv output("VK2_GOLDEN_OUTPUT", outputs_.c_str());
  Pixels golden(4, 3, 0xFF808080);
  golden.argb[5] = 0x80400000;  // half-transparent red: compared in straight alpha
  MakeGolden(golden);

  Pixels same = golden;
  same.view.bits = reinterpret_cast<uint8_t*>(same.argb.data());
  EXPECT_TRUE(MatchesGolden(same.view, golden_));

  Pixels near = same;
  near.view.bits = reinterpret_cast<uint8_t*>(near.argb.data());
  near.argb[0] = 0xFF828080;  // red off by 2: inside the default tolerance
  EXPECT_TRUE(MatchesGolden(near.view, golden_));
  EXPECT_FALSE(std::filesystem::exists(outputs_)) << "nothing is written for a match";

  near.argb[7] = 0xFF808090;  // blue off by 16 at (3, 1)
  auto result = MatchesGolden(near.view, golden_);
  ASSERT_FALSE(result);
  const std::string message = result.message();
  EXPECT_NE(message.find("1 of 12 pixels"), std::string::npos) << message;
  EXPECT_NE(message.find("first at 3,1"), std::string::npos) << message;
  const std::string actualPath = outputs_ + "/sample.actual.png";
  const std::string diffPath = outputs_ + "/sample.diff.png";
  EXPECT_NE(message.find(actualPath), std::string::npos) << message;
  EXPECT_NE(message.find(diffPath), std::string::npos) << message;

  const RgbaImage actual = ReadPngImage(actualPath);
  ASSERT_EQ(actual.width, 4);
  EXPECT_EQ(actual.rgba[7 * 4 + 2], 0x90) << "the actual image is what was rendered";
  const RgbaImage diff = ReadPngImage(diffPath);
  ASSERT_EQ(diff.width, 4);
  ASSERT_EQ(diff.height, 3);
  const uint8_t* bad = &diff.rgba[7 * 4];
  const uint8_t* good = &diff.rgba[0];
  EXPECT_GT(bad[0], 127);
  EXPECT_EQ(bad[1], 0) << "a differing pixel is red";
  EXPECT_EQ(good[0], good[1]) << "a matching pixel is grey";

  EXPECT_TRUE(MatchesGolden(near.view, golden_, {.channel = 16}));
  EXPECT_TRUE(MatchesGolden(near.view, golden_, {.channel = 2, .pixels = 1}));
}

TEST_F(GoldenImageTest, ColourUnderZeroAlphaIsIgnored) {
  Pixels golden(2, 2, 0);
  MakeGolden(golden);
  // Premultiplied pixels cannot carry colour at alpha 0, but a straight PNG can.
  RgbaImage actual = StraightRgba(golden.view);
  actual.rgba[0] = 255;
  EXPECT_TRUE(MatchesGolden(actual, golden_));
  actual.rgba[3] = 10;
  EXPECT_FALSE(MatchesGolden(actual, golden_));
}

TEST_F(GoldenImageTest, MissingGoldenOrOtherSizeFailsAndNamesTheWay) {
  ScopedEnv output("VK2_GOLDEN_OUTPUT", outputs_.c_str());
  Pixels pixels(3, 3, 0xFF00FF00);
  auto missing = MatchesGolden(pixels.view, golden_);
  ASSERT_FALSE(missing);
  EXPECT_NE(std::string(missing.message()).find("VK2_UPDATE_GOLDEN=1"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(outputs_ + "/sample.actual.png"));

  MakeGolden(Pixels(3, 4, 0xFF00FF00));
  auto sized = MatchesGolden(pixels.view, golden_);
  ASSERT_FALSE(sized);
  EXPECT_NE(std::string(sized.message()).find("3x3 differs from the golden's 3x4"),
            std::string::npos)
      << sized.message();

  EXPECT_FALSE(MatchesGolden(SurfaceView{}, golden_)) << "no pixels never match";
  EXPECT_FALSE(PngMatchesGolden(folder_ / "absent.png", golden_));
}

TEST_F(GoldenImageTest, UpdateModeWritesTheGoldenButNotUnderCi) {
  Pixels pixels(2, 1, 0xFF112233);
  {
    ScopedEnv update("VK2_UPDATE_GOLDEN", "1");
    ScopedEnv ci("CI", "true");
    EXPECT_FALSE(MatchesGolden(pixels.view, golden_));
    EXPECT_FALSE(std::filesystem::exists(golden_));
  }
  {
    ScopedEnv update("VK2_UPDATE_GOLDEN", "1");
    ScopedEnv ci("CI", nullptr);
    EXPECT_TRUE(MatchesGolden(pixels.view, golden_));
  }
  EXPECT_TRUE(MatchesGolden(pixels.view, golden_)) << "the written golden matches";
  const std::string dumped = folder_ / "dump.png";
  ASSERT_TRUE(WritePngImage(StraightRgba(pixels.view), dumped));
  EXPECT_TRUE(PngMatchesGolden(dumped, golden_));
}

}  // namespace
}  // namespace vk2::test
