// Comparing rendered pixels with golden PNG files kept in the source tree.
//
// A golden is a PNG in straight RGBA. Rendered pixels (premultiplied ARGB, as the graphics kit
// and the headless backend hold them) are converted the way the headless backend dumps them and
// compared channel by channel. On a mismatch the actual image and a diff image are written to the
// output folder (VK2_GOLDEN_OUTPUT, else "golden-output" in the working directory, which under
// CTest is the test's build folder) and named in the failure message. In the diff, pixels that
// differ are red (brighter for a larger difference) over a faint grey copy of the golden.
//
// Making or refreshing goldens: run the test with VK2_UPDATE_GOLDEN=1. Every compared image is
// then written to its golden path instead and the comparison passes; look at each written PNG
// before committing it. Under CI=true the update mode is refused (the comparison fails).
//
//   EXPECT_TRUE(MatchesGolden(view, GallerySource("golden/fill.png")));
//   ExpectMatchesGolden(view, path, {.channel = 4});
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2::test {

struct GoldenTolerance {
  // The largest difference allowed in any channel (0-255) of a pixel for it to count as equal.
  int32_t channel = 2;
  // How many pixels may differ by more than `channel` before the images count as different.
  int64_t pixels = 0;
};

// An image in straight RGBA, 4 bytes a pixel, rows top first without padding.
struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;

  bool Empty() const { return width <= 0 || height <= 0; }
};

// Premultiplied ARGB (kArgb32) in straight RGBA; empty for another format or an empty view.
RgbaImage StraightRgba(const SurfaceView& pixels);
// A PNG file's pixels; empty when the file is missing or does not decode.
RgbaImage ReadPngImage(const std::string& path);
// Writes `image` as a PNG (through a temporary file and a rename); creates missing folders.
bool WritePngImage(const RgbaImage& image, const std::string& path);

// The comparison of `actual` with the golden at `goldenPath`, as described above.
::testing::AssertionResult MatchesGolden(const RgbaImage& actual, const std::string& goldenPath,
                                         GoldenTolerance tolerance = {});
::testing::AssertionResult MatchesGolden(const SurfaceView& pixels, const std::string& goldenPath,
                                         GoldenTolerance tolerance = {});
// A PNG another part of the system wrote (a host dump, a screenshot) against its golden.
::testing::AssertionResult PngMatchesGolden(const std::string& actualPng,
                                            const std::string& goldenPath,
                                            GoldenTolerance tolerance = {});

// EXPECT_TRUE over MatchesGolden: a non-fatal failure carrying the message.
void ExpectMatchesGolden(const SurfaceView& pixels, const std::string& goldenPath,
                         GoldenTolerance tolerance = {});

// The folder mismatches are written to (see above).
std::string GoldenOutputFolder();

}  // namespace vk2::test
