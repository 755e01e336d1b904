// The gallery: every window file in tests/fixtures/gallery/windows is loaded with the images of
// that folder, shown on the headless backend with the style library's own readers, painted at a
// fixed time of the fake clock and compared with its golden PNG (see that folder's README.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "markup/definition/style_readers.h"
#include "markup/styles/window_styles.h"
#include "tests/markup/styles/font_services.h"
#include "tests/markup/window/window_fixture.h"
#include "tests/support/golden_image.h"

namespace vk2::test {
namespace {

namespace fs = std::filesystem;

const fs::path kGallery = VK2_GALLERY_DIR;
// How long after creation the window is painted: long enough for the first paint, the same for
// every window so that time-driven styles look alike on every run.
constexpr uint64_t kPaintAfterMs = 40;
// Antialiased edges and text may move by a rounding step between compilers and optimisation.
constexpr GoldenTolerance kTolerance{.channel = 3, .pixels = 0};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The window files, by name without extension, sorted.
std::vector<std::string> GalleryWindows() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kGallery / "windows", error))
    if (entry.path().extension() == ".mml") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class GalleryTest : public MarkupWindowTest, public ::testing::WithParamInterface<std::string> {
 protected:
  GalleryTest()
      : readers_(markup::InstallStyleReaders(
            {&markup::ReadWindowImageStyle, &markup::ReadWindowShape})) {}
  ~GalleryTest() override { markup::InstallStyleReaders(readers_); }

  // Loads the window file with every image of the gallery in the package.
  void LoadWindowFile(const std::string& name) {
    std::map<std::string, std::string> members;
    members["index.mml"] = Duv(ReadText(kGallery / "windows" / (name + ".mml")));
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kGallery / "images", error))
      members[entry.path().filename().string()] = ReadText(entry.path());
    duv_ = LoadedDuv();
    duv_.loader = markup::InterfaceLoader::Make();
    duv_.package = markup::MemoryPackage::Make(std::move(members));
    LoadContext context;
    context.language = u"english";
    TString message;
    duv_.result =
        duv_.loader->LoadFromPackage(duv_.package.Get(), "index.mml", &context, &message, nullptr);
    duv_.error = Narrow(message);
  }

  // What the window shows: the presented pixels, cleared outside the window's shape.
  std::vector<uint32_t> Shown(MWindowElement* window, int32_t* width, int32_t* height) {
    gui::HeadlessWindow w = BackendWindowOf(window);
    *width = w.presentedWidth;
    *height = w.presentedHeight;
    if (w.shaped && w.shape.size() == w.pixels.size()) {
      for (size_t i = 0; i < w.pixels.size(); ++i)
        if (!w.shape[i]) w.pixels[i] = 0;
    }
    return w.pixels;
  }

  WithFonts fonts_;
  markup::StyleReaders readers_;
};

TEST_P(GalleryTest, WindowMatchesItsGolden) {
  const std::string name = GetParam();
  LoadWindowFile(name);
  ASSERT_EQ(duv_.result, 0) << duv_.error;
  InProcessMarkup::TakeConsole();
  auto window = Create(Utf16(name).c_str());
  ASSERT_NE(window, nullptr) << "the file names no window \"" << name << "\"";
  Step(kPaintAfterMs);
  EXPECT_EQ(InProcessMarkup::TakeConsole(), "") << "the window reads and draws without reports";

  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels = Shown(window.Get(), &width, &height);
  ASSERT_FALSE(pixels.empty()) << "nothing was presented";
  SurfaceView view;
  view.bits = reinterpret_cast<uint8_t*>(pixels.data());
  view.width = width;
  view.height = height;
  view.strideBytes = width * 4;
  EXPECT_TRUE(MatchesGolden(view, (kGallery / "golden" / (name + ".png")).string(), kTolerance));
}

INSTANTIATE_TEST_SUITE_P(Windows, GalleryTest, ::testing::ValuesIn(GalleryWindows()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string id = info.param;
                           for (char& c : id)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return id;
                         });

// Every golden belongs to a window file, so a renamed or removed window leaves none behind.
TEST(GalleryFiles, EveryGoldenHasItsWindowAndTheGalleryIsNotEmpty) {
  const std::vector<std::string> windows = GalleryWindows();
  EXPECT_FALSE(windows.empty()) << "no window files in " << (kGallery / "windows");
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kGallery / "golden", error)) {
    const std::string stem = entry.path().stem().string();
    EXPECT_TRUE(std::find(windows.begin(), windows.end(), stem) != windows.end())
        << entry.path() << " has no window file";
  }
}

}  // namespace
}  // namespace vk2::test
