// Loaded images stay as they are: conversions make new images; masks from images; the document
// cache drops what only it holds.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/util/result.h"
#include "oru/graphics/images/mask_image.h"
#include "oru/graphics/images/pixel_image.h"
#include "oru/graphics/images/psd_cache.h"

namespace vk2::test {
namespace {

RefPtr<oru::PixelImage> Image(const std::vector<uint32_t>& premultiplied, int32_t w) {
  oru::PixelBuffer b;
  EXPECT_TRUE(b.Allocate(w, static_cast<int32_t>(premultiplied.size()) / w, PixelFormat::kArgb32));
  for (size_t i = 0; i < premultiplied.size(); ++i) {
    b.Argb(static_cast<int32_t>(i) / w)[i % w] = premultiplied[i];
  }
  return oru::PixelImage::Make(std::move(b));
}

TEST(ImageObjects, EightBitConversionTakesOneStraightChannelAndLeavesTheImage) {
  // Opaque orange, half-transparent red (premultiplied), transparent.
  auto image = Image({0xFFFF8000, 0x80800000, 0x00000000}, 3);
  struct Case {
    int32_t source;
    std::vector<uint8_t> expected;
  };
  const std::vector<Case> cases = {
      {kEightBitAlpha, {255, 128, 0}},    {kEightBitRed, {255, 255, 0}},
      {kEightBitGreen, {128, 0, 0}},      {kEightBitBlue, {0, 0, 0}},
      {kEightBitIntensity, {152, 77, 0}},  // (255*77 + 128*151 + 128) >> 8
  };
  for (const Case& c : cases) {
    RefPtr<MRasterImage> eight;
    ASSERT_EQ(image->ConvertToEightBit(c.source, eight.Put()), kOk);
    EXPECT_TRUE(eight->IsEightBit());
    SurfaceView view;
    eight->GetView(&view);
    ASSERT_EQ(view.format, PixelFormat::kIndex8);
    EXPECT_EQ(std::vector<uint8_t>(view.Row(0), view.Row(0) + 3), c.expected) << c.source;
  }
  RefPtr<MRasterImage> none;
  EXPECT_EQ(image->ConvertToEightBit(6, none.Put()), kErrOutOfRange);
  EXPECT_FALSE(image->IsEightBit());
  SurfaceView view;
  image->GetView(&view);
  EXPECT_EQ(view.Argb(0)[1], 0x80800000u);
}

TEST(ImageObjects, MasksComeFromAlphaAndCombine) {
  auto image = Image({0xFF000000, 0x40000000, 0x00000000, 0x80000000}, 4);
  RefPtr<MMaskImage> mask;
  ASSERT_EQ(image->ExtractMask(0xFF000000, 0x80, mask.Put()), kOk);
  std::vector<int32_t> values;
  for (int x = 0; x < 4; ++x)
    values.push_back(mask->Value(x, 0));
  EXPECT_EQ(values, (std::vector<int32_t>{1, 0, 0, 1}));
  EXPECT_EQ(mask->CombineRect(RectI{1, 0, 3, 1}, kClipXor), kOk);
  values.clear();
  for (int x = 0; x < 4; ++x)
    values.push_back(mask->Value(x, 0));
  EXPECT_EQ(values, (std::vector<int32_t>{1, 1, 1, 1}));
  EXPECT_EQ(mask->CombineRect(RectI{0, 0, 1, 1}, 9), kErrOutOfRange);
  EXPECT_EQ(mask->Value(4, 0), 0);
}

TEST(PsdCache, SharesHeldDocumentsAndReloadsDroppedOnes) {
  oru::PsdCache cache;
  int loads = 0;
  auto load = [&loads](RefPtr<oru::LayeredImageObject>* out) {
    ++loads;
    *out = RefPtr<oru::LayeredImageObject>(new oru::LayeredImageObject);
    return kOk;
  };
  RefPtr<oru::LayeredImageObject> a;
  RefPtr<oru::LayeredImageObject> b;
  ASSERT_EQ(cache.FindOrLoad(nullptr, "skin.psd", load, &a), kOk);
  ASSERT_EQ(cache.FindOrLoad(nullptr, "skin.psd", load, &b), kOk);
  EXPECT_EQ(a.Get(), b.Get());
  EXPECT_EQ(loads, 1);
  RefPtr<oru::LayeredImageObject> other;
  ASSERT_EQ(cache.FindOrLoad(nullptr, "Skin.psd", load, &other), kOk);  // names are exact
  EXPECT_EQ(loads, 2);
  a = nullptr;
  b = nullptr;
  ASSERT_EQ(cache.FindOrLoad(nullptr, "skin.psd", load, &a), kOk);
  EXPECT_EQ(loads, 3);
  EXPECT_EQ(cache.Size(), 2u);
  auto failing = [](RefPtr<oru::LayeredImageObject>*) { return kErrBadData; };
  EXPECT_EQ(cache.FindOrLoad(nullptr, "bad.psd", failing, &b), kErrBadData);
  EXPECT_EQ(cache.Size(), 2u);
}

}  // namespace
}  // namespace vk2::test
