// Pages set no font of their own: the console (its lines and its command entry) and the
// equalizer shown in a display draw their text with the font of the interface window around
// them, unless they were given one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "component/module/runtime_loader.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "interfaces/graphics/image.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/controls.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/gui/window_page.h"
#include "interfaces/ids.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/resource_file.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/gui/support/app_runner.h"
#include "tests/gui/support/package_window_fixture.h"
#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::test {
namespace {

// A frame holding a display; the page "Eq" holds an equalizer of three bands.
constexpr char kPackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/page_fonts/1.0">
  <windowtype name="Frame" uid="A22BA869-CF90-42F2-AA81-2A5890A49A3E"/>
  <windowtype name="Display" uid="72811F79-2986-4358-BE4D-20D35DC0BFB5"/>
  <windowtype name="Border" uid="7B86C313-0CA8-43ED-A2FF-0E50A0A421A6"/>
  <windowtype name="Equalizer" uid="2902361A-A4D9-4CDA-855B-B13BA8C6956C"/>
  <window name="frame" type="Frame" offset="0,0,320,200">
    <window name="display" type="Display" offset="0,0,0,0" alignment="0,0,1,1"/>
  </window>
  <window name="Eq" type="Border">
    <property edge="all"/>
    <window name="bands" type="Equalizer" offset="0,0,0,0" alignment="0,0,1,1">
      <script name="GetNumBands">return (3);</script>
      <script name="GetBandFreqString">return ("WWW");</script>
      <script name="GetBandGain">return (0);</script>
      <script name="SetBandGain">return (1);</script>
    </window>
  </window>
</interface></mml>
)";

constexpr int32_t kFrameWidth = 320;
constexpr char16_t kConsoleClassText[] = u"D30D93AA-EE5E-4D4C-8478-58044ABC45EC";
constexpr int32_t kWarningLevel = 6;  // drawn in 0xFFFFFF80

bool IsWarningColour(uint32_t argb) {
  const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  return r > 200 && g > 200 && b > 90 && b < 170;
}

bool IsWhite(uint32_t argb) {
  return ((argb >> 16) & 0xFF) > 200 && ((argb >> 8) & 0xFF) > 200 && (argb & 0xFF) > 200;
}

// The pixels of `canvas` that `match`, and the topmost row holding one (-1 for none).
struct Found {
  int32_t count = 0;
  int32_t top = -1;
};

template <class Match>
Found FindPixels(const gfx::testing::SmallCanvas& canvas, Match match) {
  Found found;
  const SurfaceView& view = canvas.View();
  for (int32_t y = 0; y < view.height; ++y) {
    for (int32_t x = 0; x < view.width; ++x) {
      if (!match(canvas.At(x, y))) continue;
      ++found.count;
      if (found.top < 0) found.top = y;
    }
  }
  return found;
}

class PageFontsTest : public PackageWindowTest {
 protected:
  PageFontsTest() : PackageWindowTest({VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO, VK2_TEST_GUI_SO}) {}

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PackageWindowTest::SetUp());
    images_ = CreateRuntimeObject<MImageService>(kImageServiceClass, kIID_MImageService);
    ASSERT_TRUE(images_);
  }
  void ReleaseExtras() override { images_ = nullptr; }

  RefPtr<MFont> Font(int32_t points) {
    FontDescription description;
    description.face = u"DejaVu Sans";
    description.size = points;
    MFont* font = nullptr;
    if (images_->GetFont(&description, &font) < 0 || !font) return nullptr;
    return RefPtr<MFont>::Adopt(font);
  }

  static int32_t LineHeight(MFont* font) {
    FontMetrics metrics;
    return font && font->GetMetrics(&metrics) == kOk ? metrics.lineHeight : 0;
  }

  // Opens the frame with the font the interface window takes from the language's display font.
  void OpenFrame(MFont* frameFont) {
    ASSERT_NO_FATAL_FAILURE(OpenPackageWindow(kPackage, u"test/page_fonts/1.0", u"frame", [&] {
      if (!frameFont) return;
      PropertyValue font;
      font.type = kPropertyInterface;
      font.object = static_cast<MUnknown*>(frameFont);
      frame_->SetProperty(u"font", kPropertyInterface, &font);
    }));
    OnLoop([&] { display_ = frame_->ChildAt(0); });
    ASSERT_NE(display_, nullptr);
    OnLoop([] {});
  }

  // Shows `name` in the display and answers the fill page it became.
  MWindowElement* ShowPage(const char16_t* name) {
    MWindowElement* page = nullptr;
    const std::u16string script = u"return (DisplayWindow(\"" + std::u16string(name) + u"\"));";
    const std::string shown = Run(display_, script.c_str());
    EXPECT_EQ(shown, "1");
    OnLoop([] {});
    OnLoop([&] {
      const int32_t count = display_->ChildCount();
      page = count > 0 ? display_->ChildAt(count - 1) : nullptr;
    });
    return page;
  }

  // A warning written to the console, and the console shown as a page (nullptr when it was not).
  MWindowElement* ShowConsoleWithAWarning() {
    auto console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
    EXPECT_TRUE(console);
    if (!console) return nullptr;
    console->Write(kWarningLevel, u"WWWW MMMM WWWW", 1);
    return ShowPage(kConsoleClassText);
  }

  int32_t ChildCountOf(MWindowElement* window) {
    int32_t count = -1;
    OnLoop([&] { count = window->ChildCount(); });
    return count;
  }

  // `window` painted alone on a black canvas of its size, once its size stands still (a page
  // and what it holds grow while it slides in).
  void PaintAlone(MWindowElement* window, std::unique_ptr<gfx::testing::SmallCanvas>* out) {
    SizeI size;
    SizeI last{-1, -1};
    int32_t steady = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (steady < 3 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      OnLoop([&] { window->GetValue(kValueSize, &size, sizeof size); });
      steady =
          size.width > 0 && size.width == last.width && size.height == last.height ? steady + 1 : 0;
      last = size;
    }
    ASSERT_EQ(steady, 3) << "the window's size never stood still";
    *out = std::make_unique<gfx::testing::SmallCanvas>(size.width, size.height, 0xFF000000u);
    OnLoop([&] {
      PaintRecord record;
      record.dirty = RectI{0, 0, size.width, size.height};
      window->Paint((*out)->Get(), &record);
    });
  }

  RefPtr<MImageService> images_;
  MWindowElement* display_ = nullptr;
};

TEST_F(PageFontsTest, TheConsolePageDrawsItsLinesAndItsEntryWithTheFramesFont) {
  RefPtr<MFont> font = Font(9);
  ASSERT_TRUE(font);
  ASSERT_NO_FATAL_FAILURE(OpenFrame(font.Get()));
  MWindowElement* page = ShowConsoleWithAWarning();
  ASSERT_NE(page, nullptr);
  // The command entry is made only when the window has a font.
  EXPECT_EQ(ChildCountOf(page), 1);
  std::unique_ptr<gfx::testing::SmallCanvas> canvas;
  ASSERT_NO_FATAL_FAILURE(PaintAlone(page, &canvas));
  const Found warning = FindPixels(*canvas, IsWarningColour);
  EXPECT_GT(warning.count, 20);
  // The newest line stands above the room left for the entry, two lines high.
  EXPECT_LT(warning.top, canvas->View().height - 2 * LineHeight(font.Get()));
  EXPECT_EQ(canvas->View().width, kFrameWidth);

  // What is typed into the entry shows there, in white.
  MWindowElement* entry = nullptr;
  OnLoop([&] {
    entry = page->ChildCount() > 0 ? page->ChildAt(0) : nullptr;
    void* edit = nullptr;
    if (entry && entry->QueryInterface(kIID_MEditBox, &edit, 1, 0) == kOk) {
      auto held = RefPtr<MEditBox>::Adopt(static_cast<MEditBox*>(edit));
      held->SetText(u"WWWW");
    }
  });
  ASSERT_NE(entry, nullptr);
  ASSERT_NO_FATAL_FAILURE(PaintAlone(entry, &canvas));
  EXPECT_GT(FindPixels(*canvas, IsWhite).count, 10);
}

TEST_F(PageFontsTest, TheEqualizerLabelsTakeTheFramesFontAndAFontOfItsOwnWins) {
  RefPtr<MFont> small = Font(9);
  RefPtr<MFont> large = Font(20);
  ASSERT_TRUE(small && large);
  const int32_t smallLine = LineHeight(small.Get());
  const int32_t largeLine = LineHeight(large.Get());
  ASSERT_GT(largeLine, smallLine + 4);
  ASSERT_NO_FATAL_FAILURE(OpenFrame(small.Get()));

  MWindowElement* page = ShowPage(u"Eq");
  ASSERT_NE(page, nullptr);
  MWindowElement* bands = nullptr;
  OnLoop([&] { bands = page->ChildCount() > 0 ? page->ChildAt(0) : nullptr; });
  ASSERT_NE(bands, nullptr);
  std::unique_ptr<gfx::testing::SmallCanvas> canvas;
  ASSERT_NO_FATAL_FAILURE(PaintAlone(bands, &canvas));
  EXPECT_EQ(canvas->View().width, kFrameWidth);
  const int32_t height = canvas->View().height;
  // White is the labels' alone: the window and its bands are blue.
  Found labels = FindPixels(*canvas, IsWhite);
  EXPECT_GT(labels.count, 20);
  EXPECT_GE(labels.top, height - 2 * smallLine);

  OnLoop([&] {
    PropertyValue own;
    own.type = kPropertyInterface;
    own.object = static_cast<MUnknown*>(large.Get());
    bands->SetProperty(u"font", kPropertyInterface, &own);
  });
  ASSERT_NO_FATAL_FAILURE(PaintAlone(bands, &canvas));
  labels = FindPixels(*canvas, IsWhite);
  EXPECT_GT(labels.count, 20);
  // The larger lines leave a lower band area; the labels reach above the small font's room.
  EXPECT_GE(labels.top, height - 2 * largeLine);
  EXPECT_LT(labels.top, height - 2 * smallLine);
}

TEST_F(PageFontsTest, WithoutAFontAnywhereThePagesDrawNoText) {
  ASSERT_NO_FATAL_FAILURE(OpenFrame(nullptr));
  MWindowElement* page = ShowConsoleWithAWarning();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(ChildCountOf(page), 0);
  std::unique_ptr<gfx::testing::SmallCanvas> canvas;
  ASSERT_NO_FATAL_FAILURE(PaintAlone(page, &canvas));
  EXPECT_EQ(FindPixels(*canvas, IsWarningColour).count, 0);
}

}  // namespace
}  // namespace vk2::test
