// The image services by class id: one shared service, per-thread services that refuse other
// threads, images and layered documents from a package, the locked document cache, palettes,
// curves and the rasterizer mode.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/resource_file.h"
#include "tests/oru/graphics/images/psd_writer.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

std::string Png2x1() {
  std::string out;
  const uint8_t rgba[8] = {255, 0, 0, 255, 0, 0, 255, 128};
  stbi_write_png_to_func(
      [](void* c, void* d, int n) {
        static_cast<std::string*>(c)->append(static_cast<char*>(d), n);
      },
      &out, 2, 1, 4, rgba, 8);
  return out;
}

std::string SmallPsd() {
  PsdTestDocument d;
  d.width = 2;
  d.height = 2;
  d.merged.assign(4, 0xFF336699);
  PsdTestLayer layer;
  layer.rect = RectI{0, 0, 1, 1};
  layer.name = "dot";
  layer.pixels = {0xFFFFFFFF};
  d.layers = {layer};
  const auto bytes = WritePsd(d);
  return std::string(bytes.begin(), bytes.end());
}

class ImageServices : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Bound());
    sandbox_.MakeFolder("skin/images");
    sandbox_.MakeFolder("skin/art");
    sandbox_.WriteFile("skin/images/button.png", Png2x1());
    sandbox_.WriteFile("skin/art/skin.psd", SmallPsd());
    sandbox_.WriteFile("skin/art/skin.psd.png", Png2x1());
    package_ = CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
    ASSERT_TRUE(package_);
    const std::string folder = sandbox_.Root() + "/skin";
    const std::u16string path(folder.begin(), folder.end());
    ASSERT_TRUE(package_->OpenFile(path.c_str()));
    threadService_ =
        CreateRuntimeObject<MThreadImageService>(kImageServiceClass, kIID_MThreadImageService);
    ASSERT_TRUE(threadService_);
  }

  Sandbox sandbox_;
  RuntimeSession session_;
  RefPtr<MResourceFile> package_;
  RefPtr<MThreadImageService> threadService_;
};

TEST_F(ImageServices, OneServiceAnswersItsFacesAndEachThreadServiceIsNew) {
  auto service = CreateRuntimeObject<MImageService>(kImageServiceClass, kIID_MImageService);
  auto again = CreateRuntimeObject<MImageService>(kImageServiceClass, kIID_MImageService);
  auto style = CreateRuntimeObject<MImageStyleService>(kImageServiceClass, kIID_MImageStyleService);
  auto rasterizer = CreateRuntimeObject<MRasterizer>(kImageServiceClass, kIID_MRasterizer);
  ASSERT_TRUE(service && again && style && rasterizer);
  EXPECT_EQ(service.Get(), again.Get());
  auto other =
      CreateRuntimeObject<MThreadImageService>(kImageServiceClass, kIID_MThreadImageService);
  EXPECT_NE(other.Get(), threadService_.Get());
  auto layered = CreateRuntimeObject<MLayeredImage>(kPackageResourceClass, kIID_MLayeredImage);
  EXPECT_TRUE(layered);
}

TEST_F(ImageServices, AThreadServiceServesOnlyItsOwnThread) {
  RefPtr<MRasterImage> image;
  int32_t fromOther = 0;
  std::thread([&] {
    fromOther = threadService_->LoadImage(package_.Get(), "images/button.png", image.Put());
  }).join();
  EXPECT_EQ(fromOther, kErrWrongState);
  EXPECT_FALSE(image);
  EXPECT_EQ(threadService_->LoadImage(package_.Get(), "images/button.png", image.Put()), kOk);
}

TEST_F(ImageServices, LoadsImagesFromThePackage) {
  RefPtr<MRasterImage> image;
  ASSERT_EQ(threadService_->LoadImage(package_.Get(), "images/button.png", image.Put()), kOk);
  SurfaceView view;
  ASSERT_EQ(image->GetView(&view), kOk);
  EXPECT_EQ(image->Bounds(), (RectI{0, 0, 2, 1}));
  EXPECT_EQ(view.Argb(0)[0], 0xFFFF0000u);
  EXPECT_EQ(view.Argb(0)[1], 0x80000080u);
  EXPECT_EQ(threadService_->LoadImage(package_.Get(), "images/none.png", image.Put()),
            kErrResourceNotFound);
}

TEST_F(ImageServices, TheScratchSurfaceGrowsToEverySizeAskedAndStaysOne) {
  RefPtr<MSurface> first;
  RefPtr<MSurface> second;
  ASSERT_EQ(threadService_->GetScratch(10, 20, first.Put()), kOk);
  ASSERT_EQ(threadService_->GetScratch(30, 5, second.Put()), kOk);
  EXPECT_EQ(first.Get(), second.Get());
  SurfaceView view;
  ASSERT_EQ(second->GetView(&view), kOk);
  EXPECT_EQ(view.width, 30);
  EXPECT_EQ(view.height, 20);
  EXPECT_EQ(threadService_->GetScratch(16385, 1, second.Put()), kErrOutOfRange);
}

TEST_F(ImageServices, LayeredDocumentsAreSharedWhileHeldAndKnownByExtension) {
  RefPtr<MLayeredImage> a;
  RefPtr<MLayeredImage> b;
  ASSERT_EQ(threadService_->LoadLayeredImage(package_.Get(), "art/skin.psd", a.Put()), kOk);
  ASSERT_EQ(threadService_->LoadLayeredImage(package_.Get(), "art/skin.psd", b.Put()), kOk);
  EXPECT_EQ(a.Get(), b.Get());
  int32_t index = -99;
  EXPECT_EQ(a->FindLayer(u"DOT", &index), kOk);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(threadService_->LoadLayeredImage(package_.Get(), "art/skin.psd.png", b.Put()),
            kErrNotSupported);
  EXPECT_EQ(threadService_->LoadLayeredImage(package_.Get(), "art/gone.psd", b.Put()),
            kErrResourceNotFound);
}

TEST_F(ImageServices, ThreadsLoadingOneDocumentAtOnceShareIt) {
  constexpr int kThreads = 8;
  std::vector<RefPtr<MLayeredImage>> docs(kThreads);
  std::vector<int32_t> results(kThreads, -1);
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      auto own =
          CreateRuntimeObject<MThreadImageService>(kImageServiceClass, kIID_MThreadImageService);
      ready.fetch_add(1);
      while (ready.load() < kThreads)
        std::this_thread::yield();
      results[i] = own->LoadLayeredImage(package_.Get(), "art/skin.psd", docs[i].Put());
    });
  }
  for (auto& t : threads)
    t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(results[i], kOk);
    EXPECT_EQ(docs[i].Get(), docs[0].Get());
  }
}

TEST_F(ImageServices, PalettesAndCurvesRunThroughTheirPoints) {
  auto style = CreateRuntimeObject<MImageStyleService>(kImageServiceClass, kIID_MImageStyleService);
  ASSERT_TRUE(style);
  const CurvePoint ramp[] = {{0.0, 0xFF000000}, {1.0, 0xFFFFFFFF}};
  uint32_t palette[256] = {};
  ASSERT_EQ(style->MakePalette(ramp, 2, false, palette), kOk);
  EXPECT_EQ(palette[0], 0xFF000000u);
  EXPECT_EQ(palette[128], 0xFF808080u);
  EXPECT_EQ(palette[255], 0xFFFFFFFFu);

  // 0.4 of the way is index 102 exactly.
  const CurvePoint bend[] = {{0.0, 0}, {0.4, 200}, {1.0, 255}};
  uint8_t linear[256] = {};
  uint8_t spline[256] = {};
  ASSERT_EQ(style->MakeCurve(bend, 3, false, linear), kOk);
  ASSERT_EQ(style->MakeCurve(bend, 3, true, spline), kOk);
  for (const uint8_t* curve : {linear, spline}) {
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[102], 200);
    EXPECT_EQ(curve[255], 255);
  }
  EXPECT_EQ(linear[51], 100);
  EXPECT_GT(spline[51], 100);  // the spline bows above the chord before the bend

  const CurvePoint unsorted[] = {{0.5, 0}, {0.2, 1}};
  EXPECT_EQ(style->MakeCurve(unsorted, 2, false, linear), kErrBadData);
}

TEST_F(ImageServices, TheRasterizerModeReadsBackAsSet) {
  auto rasterizer = CreateRuntimeObject<MRasterizer>(kImageServiceClass, kIID_MRasterizer);
  ASSERT_TRUE(rasterizer);
  EXPECT_EQ(rasterizer->GetModeMask(), 0u);
  for (uint64_t mask : {kRasterizerPentium, kRasterizerMmx, uint64_t{0}}) {
    EXPECT_EQ(rasterizer->SetModeMask(mask), kOk);
    EXPECT_EQ(rasterizer->GetModeMask(), mask);
  }
}

TEST_F(ImageServices, FontsComeByDescriptionOrItsText) {
  auto service = CreateRuntimeObject<MImageService>(kImageServiceClass, kIID_MImageService);
  ASSERT_TRUE(service);
  FontDescription d;
  d.face = u"tahoma";
  d.size = 12;
  RefPtr<MFont> byRecord;
  ASSERT_EQ(service->GetFont(&d, byRecord.Put()), kOk);
  RefPtr<MFont> byText;
  ASSERT_EQ(service->GetFontByText(u"face=tahoma; size=12", byText.Put()), kOk);
  EXPECT_EQ(byRecord.Get(), byText.Get());  // equal descriptions share a font
  EXPECT_EQ(service->GetFontByText(u"size=12", byText.Put()), kErrBadData);
}

}  // namespace
}  // namespace vk2::test
