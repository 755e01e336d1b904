// The visual window made from an interface package's `windowtype` row on the headless backend,
// as the runtime loads the user interface module beside the visualisation host: what it reads
// from its markup, what it paints with it, and its frame tick, which repaints only while the
// visual says there is something new to draw.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "component/module/runtime_loader.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/core/core.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/runtime/resource_file.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"
#include "interfaces/visual/visual_host.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/gui/support/app_runner.h"
#include "tests/gui/support/package_window_fixture.h"
#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::test {
namespace {

constexpr uint32_t kBlue = 0xFF0000CC;
constexpr uint32_t kGreen = 0xFF00CC00;
constexpr uint32_t kUnder = 0xFF808080;

constexpr char kVisualMarkup[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/visual_markup/1.0">
  <windowtype name="Frame" uid="A22BA869-CF90-42F2-AA81-2A5890A49A3E"/>
  <windowtype name="Visual" uid="1A4888AE-2117-453C-AECB-59130D7C65EE"/>
  <imagestyle name="blue"><color_rect color="#FF0000CC" filled="true"/></imagestyle>
  <imagestyle name="green"><color_rect color="#FF00CC00" filled="true"/></imagestyle>
  <window name="frame" type="Frame" offset="0,0,80,60">
    <window name="backdrop" type="Visual" offset="0,0,8,6">
      <property background="blue" player="second"/>
    </window>
    <window name="covered" type="Visual" offset="10,0,18,6">
      <property background="blue" foreground="green" group="stage"/>
    </window>
    <window name="copied" type="Visual" offset="20,0,28,6">
      <property blendmode="COPY"/>
    </window>
    <window name="unseen" type="Visual" offset="30,0,38,6">
      <property blendmode="COPY" opacity="0"/>
    </window>
  </window>
</interface></mml>
)";

// The count of `what` in a plug-in's call log.
int CountIn(const std::string& log, const std::string& what) {
  int n = 0;
  for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
    ++n;
  return n;
}

class VisualWindowMarkupTest : public PackageWindowTest {
 protected:
  VisualWindowMarkupTest()
      : PackageWindowTest({VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO, VK2_TEST_GUI_SO, VK2_TEST_VISUAL_SO,
                           VK2_TEST_CORE_SO}) {}

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PackageWindowTest::SetUp());
    host_ = CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
    ASSERT_TRUE(host_);
    // The player the windows ask for by its default name, as the program's start makes it.
    core_ = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
    ASSERT_TRUE(core_);
    ASSERT_EQ(core_->GetPlayerManager()->AddRemove(u"default", 1), kOk);
  }
  void ReleaseExtras() override {
    host_ = nullptr;
    if (core_) core_->GetPlayerManager()->AddRemove(u"default", 0);
    core_ = nullptr;
  }

  void OpenFrame() { OpenPackageWindow(kVisualMarkup, u"test/visual_markup/1.0", u"frame"); }

  MWindowElement* Child(int32_t index) {
    MWindowElement* child = nullptr;
    OnLoop([&] { child = index < frame_->ChildCount() ? frame_->ChildAt(index) : nullptr; });
    return child;
  }

  // The window painted on a grey canvas of its size.
  void PaintOn(MWindowElement* window, gfx::testing::SmallCanvas* canvas) {
    OnLoop([&] {
      PaintRecord record;
      record.dirty = RectI{0, 0, 8, 6};
      window->Paint(canvas->Get(), &record);
    });
  }

  // Waits until the frames drawn stop growing; false when they have not within 3 s.
  static bool DrawsSettle(const char* (*log)()) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int last = -1;
    while (std::chrono::steady_clock::now() < deadline) {
      const int now = CountIn(log(), "draw;");
      if (now > 0 && now == last) return true;
      last = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  // The runtime test module loaded, saying it has a new frame (`newFrames`) or not, and the
  // frame opened on it. Counts the frames it draws while open and after the window has closed.
  void CheckFrameTick(bool newFrames) {
    const char* file = VK2_TEST_RUNTIME_MODULE_VVP;
    ASSERT_EQ(host_->AddFiles(WideFromNarrow(file).c_str()), kOk);
    void* plugin = dlopen(file, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(plugin, nullptr);
    auto log = reinterpret_cast<const char* (*)()>(dlsym(plugin, "RuntimeModuleLog"));
    auto setNeedsRedraw = reinterpret_cast<void (*)(int)>(dlsym(plugin, "SetNeedsRedraw"));
    ASSERT_TRUE(log && setNeedsRedraw);
    setNeedsRedraw(newFrames ? 1 : 0);
    ASSERT_NO_FATAL_FAILURE(OpenFrame());
    // "copied": the player "default", no group.
    MWindowElement* window = Child(2);
    ASSERT_NE(window, nullptr);
    // Opened on the first visual.
    EXPECT_EQ(Run(window, u"return (GetVisual());"), "1") << log();
    if (newFrames) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } else {
      // The paints of the opening, however late they come, are not the tick's.
      ASSERT_TRUE(DrawsSettle(log)) << log();
    }
    const int before = CountIn(log(), "draw;");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const int during = CountIn(log(), "draw;") - before;
    if (newFrames) {
      EXPECT_GE(during, 5) << log();
    } else {
      EXPECT_EQ(during, 0) << log();
    }
    // Closed: the visual goes, and with it the frames.
    OnLoop([this] {
      frame_->DestroyWindow();
      frame_ = nullptr;
    });
    const int closed = CountIn(log(), "draw;");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(CountIn(log(), "draw;"), closed) << log();
    setNeedsRedraw(1);
    dlclose(plugin);
  }

  RefPtr<MVisualHost> host_;
  RefPtr<MCore> core_;
};

TEST_F(VisualWindowMarkupTest, AttributesGiveThePlayerTheGroupAndHowItPaints) {
  // No visual is loaded: each window paints its styles, or fills with colour 0.
  ASSERT_NO_FATAL_FAILURE(OpenFrame());
  struct Case {
    const char* name;
    int32_t index;
    const char* player;
    const char* group;
    uint32_t everywhere;  // the pixel the paint leaves all over the window
  };
  const Case cases[] = {
      {"the background", 0, "second", "", kBlue},
      {"the foreground over the background", 1, "default", "stage", kGreen},
      {"colour 0 copied", 2, "default", "", 0x00000000u},
      {"colour 0 copied at opacity 0", 3, "default", "", kUnder},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MWindowElement* window = Child(c.index);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Run(window, u"return (GetAssociatedPlayer());"), c.player);
    EXPECT_EQ(Run(window, u"return (GetVisualGroup());"), c.group);
    gfx::testing::SmallCanvas canvas(8, 6, kUnder);
    PaintOn(window, &canvas);
    EXPECT_EQ(canvas.Count(c.everywhere), 48) << std::hex << canvas.At(3, 3);
  }
}

TEST_F(VisualWindowMarkupTest, TheFrameTickRepaintsWhileTheVisualHasANewFrame) {
  CheckFrameTick(true);
}

TEST_F(VisualWindowMarkupTest, TheFrameTickLeavesAVisualWithoutANewFrameAlone) {
  CheckFrameTick(false);
}

}  // namespace
}  // namespace vk2::test
