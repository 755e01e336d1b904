#include "tests/support/golden_image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "oru/gui/backend/png_dump.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace vk2::test {
namespace {

namespace fs = std::filesystem;

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value && std::string(value) != "0";
}

// The gray of a golden pixel, faint, with full alpha: the backdrop of the diff image.
void Backdrop(const uint8_t* golden, uint8_t* out) {
  const int gray = (golden[0] * 3 + golden[1] * 6 + golden[2]) / 10;
  const int a = golden[3];
  // Transparent areas show as light gray, so the diff reads on any viewer background.
  const int shown = (gray * a + 200 * (255 - a)) / 255;
  const uint8_t faint = static_cast<uint8_t>(160 + shown * 80 / 255);
  out[0] = out[1] = out[2] = faint;
  out[3] = 255;
}

std::string Stem(const std::string& goldenPath) {
  return fs::path(goldenPath).stem().string();
}

// Writes the actual image (and the diff when given) to the output folder; the names written.
std::string WriteEvidence(const std::string& goldenPath, const RgbaImage& actual,
                          const RgbaImage* diff) {
  const fs::path folder = GoldenOutputFolder();
  const std::string actualPath = (folder / (Stem(goldenPath) + ".actual.png")).string();
  std::string note;
  note += WritePngImage(actual, actualPath) ? "\n  actual: " + actualPath
                                            : "\n  (could not write " + actualPath + ")";
  if (diff) {
    const std::string diffPath = (folder / (Stem(goldenPath) + ".diff.png")).string();
    note += WritePngImage(*diff, diffPath) ? "\n  diff:   " + diffPath
                                           : "\n  (could not write " + diffPath + ")";
  }
  return note;
}

}  // namespace

std::string GoldenOutputFolder() {
  const char* folder = std::getenv("VK2_GOLDEN_OUTPUT");
  if (folder && *folder) return folder;
  return (fs::current_path() / "golden-output").string();
}

RgbaImage StraightRgba(const SurfaceView& pixels) {
  // The headless backend's own conversion, so a dump compares exactly.
  std::vector<uint8_t> rgba = gui::StraightRgba(pixels);
  if (rgba.empty()) return {};
  return RgbaImage{pixels.width, pixels.height, std::move(rgba)};
}

RgbaImage ReadPngImage(const std::string& path) {
  RgbaImage image;
  int width = 0, height = 0, channels = 0;
  stbi_uc* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
  if (!data) return image;
  image.width = width;
  image.height = height;
  image.rgba.assign(data, data + static_cast<size_t>(width) * height * 4);
  stbi_image_free(data);
  return image;
}

bool WritePngImage(const RgbaImage& image, const std::string& path) {
  if (image.Empty() || image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4)
    return false;
  std::error_code error;
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent, error);
  return gui::WriteRgbaPng(image.width, image.height, image.rgba.data(), path);
}

::testing::AssertionResult MatchesGolden(const RgbaImage& actual, const std::string& goldenPath,
                                         GoldenTolerance tolerance) {
  if (actual.Empty())
    return ::testing::AssertionFailure() << "no pixels to compare with " << goldenPath;
  if (EnvSet("VK2_UPDATE_GOLDEN")) {
    if (EnvSet("CI"))
      return ::testing::AssertionFailure() << "VK2_UPDATE_GOLDEN is refused under CI";
    if (!WritePngImage(actual, goldenPath))
      return ::testing::AssertionFailure() << "could not write the golden " << goldenPath;
    std::printf("golden written: %s (look at it before committing)\n", goldenPath.c_str());
    return ::testing::AssertionSuccess();
  }

  const RgbaImage golden = ReadPngImage(goldenPath);
  if (golden.Empty()) {
    return ::testing::AssertionFailure()
           << "the golden " << goldenPath
           << " is missing or unreadable; run with VK2_UPDATE_GOLDEN=1 to make it"
           << WriteEvidence(goldenPath, actual, nullptr);
  }
  if (golden.width != actual.width || golden.height != actual.height) {
    return ::testing::AssertionFailure()
           << "size " << actual.width << "x" << actual.height << " differs from the golden's "
           << golden.width << "x" << golden.height << " (" << goldenPath << ")"
           << WriteEvidence(goldenPath, actual, nullptr);
  }

  RgbaImage diff{actual.width, actual.height, std::vector<uint8_t>(actual.rgba.size())};
  int64_t differing = 0;
  int32_t worst = 0;
  int32_t firstX = -1, firstY = -1;
  for (size_t i = 0; i < actual.rgba.size(); i += 4) {
    const uint8_t* a = &actual.rgba[i];
    const uint8_t* g = &golden.rgba[i];
    // Colour under zero alpha is invisible; only alpha counts there.
    const bool bothClear = a[3] == 0 && g[3] == 0;
    int32_t largest = 0;
    for (int c = bothClear ? 3 : 0; c < 4; ++c)
      largest = std::max(largest, std::abs(static_cast<int32_t>(a[c]) - g[c]));
    worst = std::max(worst, largest);
    uint8_t* d = &diff.rgba[i];
    if (largest > tolerance.channel) {
      if (differing++ == 0) {
        firstX = static_cast<int32_t>(i / 4 % actual.width);
        firstY = static_cast<int32_t>(i / 4 / actual.width);
      }
      d[0] = static_cast<uint8_t>(128 + largest / 2);
      d[1] = d[2] = 0;
      d[3] = 255;
    } else {
      Backdrop(g, d);
    }
  }
  if (differing <= tolerance.pixels) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << differing << " of " << int64_t{actual.width} * actual.height
         << " pixels differ by more than " << tolerance.channel << " from " << goldenPath
         << " (largest difference " << worst << ", first at " << firstX << "," << firstY << ")"
         << WriteEvidence(goldenPath, actual, &diff);
}

::testing::AssertionResult MatchesGolden(const SurfaceView& pixels, const std::string& goldenPath,
                                         GoldenTolerance tolerance) {
  if (!pixels.Empty() && pixels.format != PixelFormat::kArgb32)
    return ::testing::AssertionFailure() << "only ARGB surfaces compare with " << goldenPath;
  return MatchesGolden(StraightRgba(pixels), goldenPath, tolerance);
}

::testing::AssertionResult PngMatchesGolden(const std::string& actualPng,
                                            const std::string& goldenPath,
                                            GoldenTolerance tolerance) {
  const RgbaImage actual = ReadPngImage(actualPng);
  if (actual.Empty())
    return ::testing::AssertionFailure() << actualPng << " is missing or unreadable";
  return MatchesGolden(actual, goldenPath, tolerance);
}

void ExpectMatchesGolden(const SurfaceView& pixels, const std::string& goldenPath,
                         GoldenTolerance tolerance) {
  EXPECT_TRUE(MatchesGolden(pixels, goldenPath, tolerance));
}

}  // namespace vk2::test
