// Image sources: raster images by name and layers of layered documents, in each mode, with the
// reports of every failure.
#include <gtest/gtest.h>

#include "markup/package/memory_package.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/image_source.h"
#include "markup/resources/palette.h"
#include "tests/markup/support/markup_fixture.h"
#include "tests/oru/graphics/images/psd_writer.h"

namespace vk2::markup {
namespace {

using test::BlendKey;
using test::Narrow;

std::string Bytes(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// A 3 x 2 24-bit BMP.
std::string SmallBmp() {
  std::vector<uint8_t> b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                            3,   0,   0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 0, 0,
                            0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0};
  b.resize(54 + 2 * 12, 0x80);  // two rows of 9 bytes padded to 12
  b[2] = static_cast<uint8_t>(b.size());
  return Bytes(b);
}

std::string SkinPsd() {
  test::PsdTestDocument doc;
  doc.width = 64;
  doc.height = 32;
  doc.rle = true;
  doc.merged.assign(64 * 32, 0xFF336699u);
  auto layer = [](RectI rect, const char* name, uint32_t key, uint8_t opacity) {
    test::PsdTestLayer l;
    l.rect = rect;
    l.name = name;
    l.blendKey = key;
    l.opacity = opacity;
    l.pixels.assign(static_cast<size_t>(rect.Width() * rect.Height()), 0xFFFF0000u);
    return l;
  };
  doc.layers.push_back(layer({0, 0, 64, 32}, "base", BlendKey("norm"), 255));
  doc.layers.push_back(layer({10, 4, 30, 20}, "glow", BlendKey("scrn"), 128));
  doc.layers.push_back(layer({0, 0, 8, 8}, "odd", BlendKey("fsub"), 255));
  doc.layers.push_back(layer({0, 0, 8, 8}, "gone", BlendKey("diss"), 255));
  return Bytes(test::WritePsd(doc));
}

class ImageSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    package_ = MemoryPackage::Make(
        {{"skin.psd", SkinPsd()}, {"knob.bmp", SmallBmp()}, {"my.psdata.png", "not an image"}});
    element_ = test::LoadElement("<imagestyle/>");
  }
  bool Load(const char16_t* text, ImageSourceMode mode, ImageSourceResult* out) {
    return LoadImageSource(text, package_.Get(), &element_, mode, true, out);
  }
  std::string Reports() { return Narrow(sink_.Text()); }

  test::InProcessMarkup services_;
  ErrorSinkScope sink_;
  RefPtr<MemoryPackage> package_;
  Element element_;
};

TEST_F(ImageSourceTest, LayersInEveryMode) {
  ImageSourceResult r;
  ASSERT_TRUE(Load(u"skin.psd|glow@10,10", ImageSourceMode::kBounds, &r));
  EXPECT_EQ(r.bounds.left, 10);
  EXPECT_EQ(r.bounds.bottom, 20);
  ASSERT_TRUE(Load(u"res://SKIN.psd|glow", ImageSourceMode::kImage, &r));
  ASSERT_TRUE(r.image);
  EXPECT_EQ(r.image->Bounds().Width(), 20);
  ASSERT_TRUE(Load(u"skin.psd|glow", ImageSourceMode::kOpacity, &r));
  EXPECT_DOUBLE_EQ(r.opacity, 128 / 255.0);
  struct Blend {
    const char16_t* text;
    uint64_t code;
  } blends[] = {{u"skin.psd|base", 0x1000001000F},
                {u"skin.psd|glow", 0x1000001160F},
                {u"skin.psd|gone", 0x4000001000F}};
  for (const auto& b : blends) {
    ASSERT_TRUE(Load(b.text, ImageSourceMode::kLayerBlitMode, &r)) << Narrow(TString(b.text));
    EXPECT_EQ(r.blitMode, b.code);
  }
  EXPECT_EQ(Reports(), "");
}

TEST_F(ImageSourceTest, TheDocumentWithoutALayerIsItsMergedImage) {
  ImageSourceResult r;
  ASSERT_TRUE(Load(u"skin.psd", ImageSourceMode::kBounds, &r));
  EXPECT_EQ(r.bounds.right, 64);
  EXPECT_EQ(r.bounds.bottom, 32);
  ASSERT_TRUE(Load(u"skin.psd", ImageSourceMode::kImage, &r));
  EXPECT_EQ(r.image->Bounds().Height(), 32);
  EXPECT_FALSE(Load(u"skin.psd", ImageSourceMode::kLayerBlitMode, &r));
  EXPECT_FALSE(Load(u"skin.psd", ImageSourceMode::kOpacity, &r));
  EXPECT_EQ(Reports(),
            "\tError in tag <imagestyle> on line (1):\n\tBackground layers do not have "
            "blendmodes.\n"
            "\tError in tag <imagestyle> on line (1):\n\tBackground layers do not have "
            "opacity.\n");
}

TEST_F(ImageSourceTest, FailuresAreReported) {
  ImageSourceResult r;
  EXPECT_FALSE(Load(u"skin.psd|missing", ImageSourceMode::kBounds, &r));
  EXPECT_FALSE(Load(u"skin.psd|odd", ImageSourceMode::kLayerBlitMode, &r));
  EXPECT_FALSE(Load(u"absent.psd", ImageSourceMode::kBounds, &r));
  // Only the file part's extension counts: this is a raster name, and not a loadable one.
  EXPECT_FALSE(Load(u"my.psdata.png", ImageSourceMode::kImage, &r));
  EXPECT_FALSE(Load(u"knob.bmp", ImageSourceMode::kOpacity, &r));
  EXPECT_EQ(Reports(),
            "\tError in tag <imagestyle> on line (1):\n\tCould not find layer \"missing\" in "
            "\"skin.psd\"\nPSD image type requires a valid/existing layer name.\n\n"
            "\tError in tag <imagestyle> on line (1):\n\tblendmode for PSD layer: \"fsub\" is not "
            "supported.\n"
            "\tError in tag <imagestyle> on line (1):\n\tCould not load \"absent.psd\". \n\n"
            "\tError in tag <imagestyle> on line (1):\n\tsource=\"my.psdata.png\"\nRaster image "
            "\"my.psdata.png\" is not supported\n\n"
            "\tError in tag <imagestyle> on line (1):\n\topacity not supported for given image "
            "type: \"knob.bmp\"\n");
}

TEST_F(ImageSourceTest, RasterImagesGiveTheirSize) {
  ImageSourceResult r;
  ASSERT_TRUE(Load(u"knob.bmp", ImageSourceMode::kBounds, &r));
  EXPECT_EQ(r.bounds.right, 3);
  EXPECT_EQ(r.bounds.bottom, 2);
}

TEST_F(ImageSourceTest, GeometryAndBlitModesUseImageSourcesOnlyForResourceNames) {
  PointD size;
  EXPECT_EQ(
      ParsePointOrSize(true, u"skin.psd|glow", &element_, &size, true, package_.Get(), nullptr),
      13);
  EXPECT_EQ(size, (PointD{20, 16}));
  RectD rect;
  EXPECT_GT(ParseRect(u"knob.bmp", &element_, &rect, true, package_.Get(), nullptr), 0);
  EXPECT_EQ(rect, (RectD{0, 0, 3, 2}));
  // A plain name is looked up as a name, never loaded as an image.
  EXPECT_EQ(ParsePointOrSize(false, u"knob", &element_, &size, true, package_.Get(), nullptr), 0);
  EXPECT_EQ(Reports(), "\tError in tag <imagestyle> on line (1):\n\tPoint \"knob\" not found.\n\n");
  // An unknown blit word falls back to the whole text as a layer's blend mode.
  struct NoNames final : NamedCollections {
    bool FindNamedPoint(std::u16string_view, PointD*) override { return false; }
    bool FindNamedRect(std::u16string_view, RectD*) override { return false; }
    bool FindNamedColor(std::u16string_view, uint32_t*) override { return false; }
    RefPtr<Palette> FindNamedPalette(std::u16string_view) override { return nullptr; }
    MResourceFile* Package() override { return nullptr; }
  } names;
  uint64_t code = 0;
  EXPECT_TRUE(ParseBlitMode(u"skin.psd|glow", &code, &element_, true, kBlitCopyAllChannels,
                            package_.Get(), &names));
  EXPECT_EQ(code, 0x1000001160Full);
}

}  // namespace
}  // namespace vk2::markup
