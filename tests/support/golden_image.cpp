#include "tests/support/golden_image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#include <stb_image.h>
#include <stb_image_write.h>
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
  RgbaImage image;
  if (pixels.Empty() || pixels.format != PixelFormat::kArgb32) return image;
  image.width = pixels.width;
  image.height = pixels.height;
  image.rgba.resize(static_cast<size_t>(pixels.width) * pixels.height * 4);
  size_t o = 0;
  for (int32_t y = 0; y < pixels.height; ++y) {
    const uint32_t* row = pixels.Argb(y);
    for (int32_t x = 0; x < pixels.width; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      // Rounded as the headless backend's PNG dump rounds, so a dump compares exactly.
      auto straight = [a](uint32_t c) {
        return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a);
      };
      image.rgba[o++] = static_cast<uint8_t>(straight((p >> 16) & 0xFF));
      image.rgba[o++] = static_cast<uint8_t>(straight((p >> 8) & 0xFF));
      image.rgba[o++] = static_cast<uint8_t>(straight(p & 0xFF));
      image.rgba[o++] = static_cast<uint8_t>(a);
    }
  }
  return image;
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
  const std::string temp = path + ".part";
  if (!stbi_write_png(temp.c_str(), image.width, image.height, 4, image.rgba.data(),
                      image.width * 4)) {
    std::remove(temp.c_str());
    return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
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
