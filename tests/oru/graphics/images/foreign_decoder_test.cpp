// Foreign formats through stb_image, made by an outside encoder (ImageMagick): pixels arrive
// premultiplied; sides over 16384, cut files and size bombs are refused before decoding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "foundation/util/result.h"
#include "oru/graphics/images/foreign_decoder.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

using oru::DecodeForeignImage;
using oru::PixelBuffer;

struct Format {
  const char* extension;
  std::vector<std::string> options;  // for the encoder
  int tolerance;                     // per channel; lossy formats are not exact
};

const std::vector<Format>& Formats() {
  static const std::vector<Format> formats = {
      {"png", {}, 0},
      {"jpg", {"-quality", "100", "-sampling-factor", "1x1"}, 12},
      {"bmp", {"-type", "TrueColor"}, 0},
      {"gif", {}, 0},
      {"tga", {"-type", "TrueColor"}, 0},
  };
  return formats;
}

// A picture of `w` x `h`: blue on the left half, red on the right.
std::vector<uint8_t> Encode(const TempFolder& folder, const Format& f, int w, int h) {
  const std::string path =
      folder / (std::to_string(w) + "x" + std::to_string(h) + "." + f.extension);
  std::vector<std::string> args = {
      "convert",
      "-size",
      std::to_string(w) + "x" + std::to_string(h),
      "xc:#FF0000",
      "-fill",
      "#0000FF",
      "-draw",
      "rectangle 0,0," + std::to_string(w / 2 - 1) + "," + std::to_string(h - 1)};
  args.insert(args.end(), f.options.begin(), f.options.end());
  args.push_back(path);
  EXPECT_TRUE(RunTool(args)) << path;
  return ReadFile(path);
}

void ExpectNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    EXPECT_NEAR(int((actual >> shift) & 0xFF), int((expected >> shift) & 0xFF), tolerance)
        << std::hex << actual << " vs " << expected;
  }
}

TEST(ForeignImages, EachFormatDecodesToItsPixels) {
  TempFolder folder;
  for (const Format& f : Formats()) {
    SCOPED_TRACE(f.extension);
    const auto bytes = Encode(folder, f, 8, 4);
    PixelBuffer pixels;
    ASSERT_EQ(DecodeForeignImage(bytes.data(), bytes.size(), &pixels), kOk);
    EXPECT_EQ(pixels.width, 8);
    EXPECT_EQ(pixels.height, 4);
    ExpectNear(pixels.Argb(0)[0], 0xFF0000FF, f.tolerance);
    ExpectNear(pixels.Argb(3)[7], 0xFFFF0000, f.tolerance);
  }
}

TEST(ForeignImages, TranslucentPixelsArrivePremultiplied) {
  TempFolder folder;
  ASSERT_TRUE(RunTool({"convert", "-size", "2x1", "xc:rgba(255,128,0,0.5)", folder / "a.png"}));
  const auto bytes = ReadFile(folder / "a.png");
  PixelBuffer pixels;
  ASSERT_EQ(DecodeForeignImage(bytes.data(), bytes.size(), &pixels), kOk);
  // Alpha 128 (0.5 rounded), red 255 -> 128, green 128 -> 64.
  EXPECT_EQ(pixels.Argb(0)[1], 0x80804000u);
}

// The encoder above refuses sides past 16000, so the boundary files come from stb's writer.
std::vector<uint8_t> WriteWithStb(const std::string& extension, int w) {
  std::vector<uint8_t> out;
  const std::vector<uint8_t> rgb(size_t(w) * 3, 0x80);
  auto sink = [](void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  };
  if (extension == "png") stbi_write_png_to_func(sink, &out, w, 1, 3, rgb.data(), w * 3);
  if (extension == "jpg") stbi_write_jpg_to_func(sink, &out, w, 1, 3, rgb.data(), 90);
  if (extension == "bmp") stbi_write_bmp_to_func(sink, &out, w, 1, 3, rgb.data());
  if (extension == "tga") stbi_write_tga_to_func(sink, &out, w, 1, 3, rgb.data());
  return out;
}

TEST(ForeignImages, ASideOfMoreThan16384IsRefusedAndOneOf16384Taken) {
  for (const char* extension : {"png", "jpg", "bmp", "tga"}) {
    SCOPED_TRACE(extension);
    for (const auto& [width, expected] :
         {std::pair{16384, kOk}, std::pair{16385, kErrOutOfRange}}) {
      const auto bytes = WriteWithStb(extension, width);
      ASSERT_FALSE(bytes.empty());
      PixelBuffer pixels;
      EXPECT_EQ(DecodeForeignImage(bytes.data(), bytes.size(), &pixels), expected) << width;
    }
  }
  // GIF: a real 16000-wide picture whose screen and frame claim 16385.
  TempFolder folder;
  auto gif = Encode(folder, Formats()[3], 16000, 1);
  ASSERT_GT(gif.size(), 30u);
  gif[6] = 0x01;
  gif[7] = 0x40;  // screen width 16385
  PixelBuffer pixels;
  EXPECT_EQ(DecodeForeignImage(gif.data(), gif.size(), &pixels), kErrOutOfRange);
}

TEST(ForeignImages, ACutFileIsRefused) {
  TempFolder folder;
  for (const Format& f : Formats()) {
    SCOPED_TRACE(f.extension);
    const auto bytes = Encode(folder, f, 16, 16);
    for (size_t cut : {bytes.size() * 6 / 10, bytes.size() / 3, size_t{20}}) {
      PixelBuffer pixels;
      const int32_t r = DecodeForeignImage(bytes.data(), cut, &pixels);
      EXPECT_EQ(r, kErrBadData) << "cut at " << cut << " of " << bytes.size();
    }
  }
}

TEST(ForeignImages, AHeaderClaimingFarMoreThanTheFileHoldsIsRefused) {
  TempFolder folder;
  auto bytes = Encode(folder, Formats()[0], 4, 4);
  // IHDR width and height: 16000 x 16000, plausible alone, not from a file of a few bytes.
  for (size_t at : {size_t{16}, size_t{20}}) {
    bytes[at] = 0;
    bytes[at + 1] = 0;
    bytes[at + 2] = 0x3E;
    bytes[at + 3] = 0x80;
  }
  PixelBuffer pixels;
  EXPECT_EQ(DecodeForeignImage(bytes.data(), bytes.size(), &pixels), kErrOutOfRange);
  EXPECT_TRUE(pixels.bits.empty());
}

TEST(ForeignImages, UnknownBytesAreRefused) {
  const std::vector<std::string> inputs = {"hello, world", std::string(64, '\0'), "\x89PNG"};
  for (const std::string& s : inputs) {
    PixelBuffer pixels;
    EXPECT_EQ(DecodeForeignImage(reinterpret_cast<const uint8_t*>(s.data()), s.size(), &pixels),
              kErrBadData);
  }
}

}  // namespace
}  // namespace vk2::test
