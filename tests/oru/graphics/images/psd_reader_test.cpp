// The layered document reader: layers, names, blend keys, raw and run-length channels, RGB and
// greyscale, the merged image; damaged, cut and oversized files refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "oru/graphics/images/layered_image.h"
#include "oru/graphics/images/psd/psd_document.h"
#include "tests/oru/graphics/images/psd_writer.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

using oru::LayeredImageObject;
using oru::PsdDocument;
using oru::ReadPsd;

std::vector<uint32_t> PixelsOf(const oru::PixelBuffer& b) {
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < b.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(b.bits.data() + size_t(y) * b.strideBytes);
    out.insert(out.end(), row, row + b.width);
  }
  return out;
}

// A 3x2 document with two layers and a merged image of runs long enough to pack.
PsdTestDocument SmallDocument(bool grey, bool rle) {
  PsdTestDocument d;
  d.width = 40;
  d.height = 2;
  d.grey = grey;
  d.rle = rle;
  PsdTestLayer glow;
  glow.rect = RectI{1, 0, 3, 2};
  glow.name = "Glow";
  glow.blendKey = BlendKey("scrn");
  glow.opacity = 128;
  glow.pixels = grey ? std::vector<uint32_t>{0xFF404040, 0x80FFFFFF, 0x00000000, 0xFFC0C0C0}
                     : std::vector<uint32_t>{0xFFFF0000, 0x80FF0000, 0x00000000, 0xFF0080FF};
  PsdTestLayer face;
  face.rect = RectI{-2, 1, 2, 2};  // partly outside the document, as editors allow
  face.name = "face?";
  face.unicodeName = u"Gesicht \u263A";
  face.pixels = std::vector<uint32_t>(4, 0xFF808080);
  d.layers = {glow, face};
  d.merged.assign(80, 0xFF202020);
  for (int i = 30; i < 40; ++i)
    d.merged[i] = 0xFFE0E0E0;
  return d;
}

struct Case {
  bool grey;
  bool rle;
  std::vector<uint32_t> glowPremultiplied;
};

TEST(PsdReader, ReadsLayersAndMergedImageInEveryStorage) {
  const std::vector<Case> cases = {
      {false, false, {0xFFFF0000, 0x80800000, 0x00000000, 0xFF0080FF}},
      {false, true, {0xFFFF0000, 0x80800000, 0x00000000, 0xFF0080FF}},
      {true, false, {0xFF404040, 0x80808080, 0x00000000, 0xFFC0C0C0}},
      {true, true, {0xFF404040, 0x80808080, 0x00000000, 0xFFC0C0C0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.grey ? "grey" : "rgb") + (c.rle ? " rle" : " raw"));
    const auto bytes = WritePsd(SmallDocument(c.grey, c.rle));
    PsdDocument doc;
    ASSERT_EQ(ReadPsd(bytes.data(), bytes.size(), &doc), kOk);
    EXPECT_EQ(doc.width, 40);
    EXPECT_EQ(doc.height, 2);
    ASSERT_EQ(doc.layers.size(), 2u);
    const auto& glow = doc.layers[0];
    EXPECT_EQ(glow.rect, (RectI{1, 0, 3, 2}));
    EXPECT_EQ(glow.name, u"Glow");
    EXPECT_EQ(glow.blendKey, BlendKey("scrn"));
    EXPECT_EQ(glow.opacity, 128);
    EXPECT_EQ(PixelsOf(glow.pixels), c.glowPremultiplied);
    EXPECT_EQ(doc.layers[1].rect, (RectI{-2, 1, 2, 2}));
    EXPECT_EQ(doc.layers[1].name, u"Gesicht \u263A");
    const auto merged = PixelsOf(doc.merged);
    ASSERT_EQ(merged.size(), 80u);
    EXPECT_EQ(merged[0], 0xFF202020u);
    EXPECT_EQ(merged[29], 0xFF202020u);
    EXPECT_EQ(merged[30], 0xFFE0E0E0u);
    EXPECT_EQ(merged[79], 0xFF202020u);
  }
}

TEST(PsdReader, MergedAlphaIsTheChannelAfterTheColours) {
  PsdTestDocument d;
  d.width = 2;
  d.height = 1;
  d.mergedAlpha = true;
  d.merged = {0x80FF0000, 0x00FFFFFF};
  const auto bytes = WritePsd(d);
  PsdDocument doc;
  ASSERT_EQ(ReadPsd(bytes.data(), bytes.size(), &doc), kOk);
  EXPECT_TRUE(doc.layers.empty());
  EXPECT_EQ(PixelsOf(doc.merged), (std::vector<uint32_t>{0x80800000, 0x00000000}));
}

TEST(PsdReader, EveryCutOfTheFileIsRefused) {
  for (bool rle : {false, true}) {
    const auto bytes = WritePsd(SmallDocument(false, rle));
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      PsdDocument doc;
      const int32_t r = ReadPsd(bytes.data(), cut, &doc);
      EXPECT_LT(r, 0) << "cut at " << cut << (rle ? " rle" : " raw");
    }
  }
}

// Big-endian patch of a 16- or 32-bit field.
void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    b[at + i] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - i)));
}

TEST(PsdReader, RefusesWhatItCannotReadWithTheRightError) {
  const auto good = WritePsd(SmallDocument(false, true));
  // Header fields: channels at 12, height 14, width 18, depth 22, mode 24. The first layer's
  // rectangle starts after header (26), two empty sections (8), section and info lengths (8)
  // and the layer count (2).
  constexpr size_t kFirstLayer = 26 + 8 + 8 + 2;
  struct Damage {
    const char* what;
    size_t at;
    uint32_t value;
    int bytes;
    int32_t expected;
  };
  const std::vector<Damage> damages = {
      {"signature", 0, 0x38425058, 4, kErrBadData},
      {"width over the limit", 18, 16385, 4, kErrOutOfRange},
      {"height over the limit", 14, 16385, 4, kErrOutOfRange},
      {"16-bit channels", 22, 16, 2, kErrNotSupported},
      {"colour-indexed", 24, 2, 2, kErrNotSupported},
      {"no channels", 12, 0, 2, kErrBadData},
      {"layer wider than the limit", kFirstLayer + 12, 20000, 4, kErrOutOfRange},
      {"layer turned inside out", kFirstLayer + 12, 0, 4, kErrBadData},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    auto bytes = good;
    Put(bytes, d.at, d.value, d.bytes);
    PsdDocument doc;
    EXPECT_EQ(ReadPsd(bytes.data(), bytes.size(), &doc), d.expected);
  }
}

TEST(PsdReader, RefusesARunLengthRowThatOverrunsItsWidth) {
  PsdTestDocument d;
  d.width = 4;
  d.height = 1;
  d.rle = true;
  d.merged = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
  auto bytes = WritePsd(d);
  // The red row is a repeat packet (0xFD, 0x00): make it repeat 5 times instead of 4.
  const size_t rows = bytes.size() - 3 * 2;  // three packed rows of two bytes each
  ASSERT_EQ(bytes[rows], 0xFD);
  bytes[rows] = 0xFC;
  PsdDocument doc;
  EXPECT_EQ(ReadPsd(bytes.data(), bytes.size(), &doc), kErrBadData);
}

RefPtr<LayeredImageObject> LoadDocument(const std::vector<uint8_t>& bytes) {
  RefPtr<LayeredImageObject> doc(new LayeredImageObject);
  EXPECT_EQ(doc->Load(bytes.data(), bytes.size()), kOk);
  return doc;
}

TEST(LayeredImage, FindsLayersExactlyThenIgnoringCaseAndBackgroundAsTheMergedImage) {
  PsdTestDocument d = SmallDocument(false, false);
  d.layers[1].unicodeName.clear();
  d.layers[1].name = "glow";  // differs from "Glow" only in case, stored second
  auto doc = LoadDocument(WritePsd(d));
  struct Lookup {
    const char16_t* name;
    int32_t result;
    int32_t index;
  };
  const std::vector<Lookup> lookups = {
      {u"Glow", kOk, 0},
      {u"glow", kOk, 1},
      {u"GLOW", kOk, 0},
      {u"Background", kOk, kMergedLayer},
      {u"BACKGROUND", kOk, kMergedLayer},
      {u"Glo", kErrNotFound, -99},
  };
  for (const Lookup& l : lookups) {
    int32_t index = -99;
    EXPECT_EQ(doc->FindLayer(l.name, &index), l.result);
    EXPECT_EQ(index, l.index);
  }
}

TEST(LayeredImage, ALayerNamedBackgroundIsFoundBeforeTheMergedImage) {
  PsdTestDocument d = SmallDocument(false, false);
  d.layers[1].unicodeName = u"background";
  auto doc = LoadDocument(WritePsd(d));
  int32_t index = -99;
  ASSERT_EQ(doc->FindLayer(u"Background", &index), kOk);
  EXPECT_EQ(index, 1);
}

TEST(LayeredImage, AnswersEachLayersPropertiesAndRendersIt) {
  PsdTestDocument d = SmallDocument(false, true);
  const std::vector<uint32_t> keys = {BlendKey("norm"), BlendKey("mul "), BlendKey("diss"),
                                      BlendKey("hLit"), BlendKey("idiv")};
  d.layers.resize(keys.size(), d.layers[0]);
  for (size_t i = 0; i < keys.size(); ++i) {
    d.layers[i].blendKey = keys[i];
    d.layers[i].opacity = static_cast<uint8_t>(50 * i);
  }
  auto doc = LoadDocument(WritePsd(d));
  ASSERT_EQ(doc->LayerCount(), static_cast<int32_t>(keys.size()));
  for (size_t i = 0; i < keys.size(); ++i) {
    uint32_t key = 0;
    uint8_t opacity = 0;
    EXPECT_EQ(doc->LayerBlendKey(static_cast<int32_t>(i), &key), kOk);
    EXPECT_EQ(key, keys[i]);
    EXPECT_EQ(doc->LayerOpacity(static_cast<int32_t>(i), &opacity), kOk);
    EXPECT_EQ(opacity, 50 * i);
  }
  RectI rect;
  EXPECT_EQ(doc->LayerRect(kMergedLayer, &rect), kOk);
  EXPECT_EQ(rect, (RectI{0, 0, 40, 2}));
  uint32_t key = 0;
  EXPECT_EQ(doc->LayerBlendKey(kMergedLayer, &key), kErrNotSupported);
  EXPECT_EQ(doc->LayerBlendKey(99, &key), kErrOutOfRange);

  RefPtr<MRasterImage> layer;
  ASSERT_EQ(doc->Render(0, layer.Put()), kOk);
  SurfaceView view;
  ASSERT_EQ(layer->GetView(&view), kOk);
  EXPECT_EQ(view.width, 2);
  EXPECT_EQ(view.height, 2);
  EXPECT_EQ(view.Argb(0)[1], 0x80800000u);
  RefPtr<MRasterImage> merged;
  ASSERT_EQ(doc->Render(kMergedLayer, merged.Put()), kOk);
  EXPECT_EQ(merged->Bounds(), (RectI{0, 0, 40, 2}));
}

TEST(LayeredImage, ALoadedDocumentStaysAsItIs) {
  const auto bytes = WritePsd(SmallDocument(false, false));
  auto doc = LoadDocument(bytes);
  const char16_t* name = doc->LayerName(0);
  EXPECT_EQ(doc->Load(bytes.data(), bytes.size()), kErrWrongState);
  EXPECT_EQ(std::u16string(name), u"Glow");
}

TEST(LayeredImage, IsRecognisedByItsExtensionOnly) {
  const std::vector<std::pair<std::string, bool>> names = {
      {"skin.psd", true}, {"art/SKIN.PSD", true}, {"skin.psd.png", false},
      {"my.psdx", false}, {"psd", false},         {".psd", true},
  };
  for (const auto& [name, layered] : names) {
    EXPECT_EQ(oru::IsLayeredImageName(name), layered) << name;
  }
}

// An outside encoder's file: ImageMagick writes the first picture as the merged image and
// each picture as a layer.
TEST(LayeredImage, ReadsADocumentWrittenByImageMagick) {
  TempFolder folder;
  ASSERT_TRUE(RunTool({"convert", "-size", "4x3", "xc:red", folder / "a.png"}));
  ASSERT_TRUE(RunTool({"convert", "-size", "2x2", "xc:rgba(0,0,255,0.5)", folder / "b.png"}));
  // Forced to true colour: a picture of one colour would otherwise be written colour-indexed.
  ASSERT_TRUE(RunTool({"convert", folder / "a.png", folder / "b.png", "-type", "TrueColorAlpha",
                       folder / "out.psd"}));
  const auto bytes = ReadFile(folder / "out.psd");
  auto doc = LoadDocument(bytes);
  int32_t w = 0, h = 0;
  ASSERT_EQ(doc->GetSize(&w, &h), kOk);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 3);
  RefPtr<MRasterImage> merged;
  ASSERT_EQ(doc->Render(kMergedLayer, merged.Put()), kOk);
  SurfaceView view;
  merged->GetView(&view);
  EXPECT_EQ(view.Argb(2)[3], 0xFFFF0000u);
  // The half-transparent blue layer.
  bool found = false;
  for (int32_t i = 0; i < doc->LayerCount(); ++i) {
    RectI rect;
    doc->LayerRect(i, &rect);
    if (rect.Width() != 2 || rect.Height() != 2) continue;
    RefPtr<MRasterImage> layer;
    ASSERT_EQ(doc->Render(i, layer.Put()), kOk);
    layer->GetView(&view);
    const uint32_t p = view.Argb(1)[1];
    EXPECT_NEAR(int(p >> 24), 128, 1);
    EXPECT_EQ(p & 0x00FFFF00u, 0u);
    EXPECT_NEAR(int(p & 0xFF), 128, 1);
    found = true;
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace vk2::test

namespace vk2::test {
namespace {

// Found by fuzzing: a name with a nul inside could not be found by its own text.
TEST(LayeredImage, ANameEndsAtANul) {
  for (bool unicode : {false, true}) {
    PsdTestDocument d = SmallDocument(false, false);
    d.layers[1].name = std::string("ab\0cd", 5);
    d.layers[1].unicodeName = unicode ? std::u16string(u"xy\0z", 4) : std::u16string();
    auto doc = LoadDocument(WritePsd(d));
    const std::u16string expected = unicode ? u"xy" : u"ab";
    EXPECT_EQ(std::u16string(doc->LayerName(1)), expected);
    int32_t index = -99;
    EXPECT_EQ(doc->FindLayer(expected.c_str(), &index), kOk);
    EXPECT_EQ(index, 1);
  }
}

}  // namespace
}  // namespace vk2::test
