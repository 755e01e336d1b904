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

class VisualWindowMarkupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_.Set("VK2_GUI_BACKEND", "headless");
    ASSERT_TRUE(LoadRuntime());
    app_ = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
    ASSERT_TRUE(app_);
    ASSERT_EQ(app_->Launch(0, nullptr, nullptr, 0), kOk);
    engine_ = CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
    host_ = CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
    ASSERT_TRUE(engine_ && host_);
    // The player the windows ask for by its default name, as the program's start makes it.
    core_ = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
    ASSERT_TRUE(core_);
    ASSERT_EQ(core_->GetPlayerManager()->AddRemove(u"default", 1), kOk);
  }
  void TearDown() override {
    OnLoop([this] {
      if (frame_) frame_->DestroyWindow();
      frame_ = nullptr;
      iface_ = nullptr;
      loader_ = nullptr;
    });
    engine_ = nullptr;
    host_ = nullptr;
    if (core_) core_->GetPlayerManager()->AddRemove(u"default", 0);
    core_ = nullptr;
    if (app_) app_->Shutdown();
    app_ = nullptr;
    UnloadRuntime();
  }

  template <class F>
  void OnLoop(F task) {
    struct Call {
      F* task;
      std::atomic<bool> done{false};
    } call{&task, {}};
    ASSERT_EQ(app_->PostToGuiThread(
                  [](void* p) {
                    auto* c = static_cast<Call*>(p);
                    (*c->task)();
                    c->done = true;
                  },
                  &call),
              kOk);
    while (!call.done)
      std::this_thread::yield();
  }

  void OpenFrame() {
    WriteFiles(folder_.Path(), {{"index.mml", kVisualMarkup}});
    auto archive = CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
    loader_ = CreateRuntimeObject<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
    ASSERT_TRUE(archive && loader_);
    ASSERT_TRUE(archive->OpenFile(WideFromNarrow(folder_.Path().c_str()).c_str()));
    LoadContext context;
    context.language = u"english";
    TString error;
    ASSERT_GE(loader_->LoadFromPackage(archive.Get(), "index.mml", &context, &error, nullptr), 0)
        << Utf8(error).c_str();
    MInterfaceDefinition* found = nullptr;
    ASSERT_GE(loader_->GetByName(u"test/visual_markup/1.0", &found), 0);
    iface_ = RefPtr<MInterfaceDefinition>::Adopt(found);
    int32_t made = -1;
    OnLoop([&] {
      MWindowElement* window = nullptr;
      made = iface_->CreateWindowByName(kFontElementClass, u"frame", nullptr, &window);
      frame_ = RefPtr<MWindowElement>::Adopt(window);
    });
    ASSERT_EQ(made, kOk);
    ASSERT_TRUE(frame_);
    OnLoop([] {});
  }

  MWindowElement* Child(int32_t index) {
    MWindowElement* child = nullptr;
    OnLoop([&] { child = index < frame_->ChildCount() ? frame_->ChildAt(index) : nullptr; });
    return child;
  }

  std::string Run(MWindowElement* window, const char16_t* script) {
    std::string text = "<error>";
    OnLoop([&] {
      void* s = nullptr;
      if (window->QueryInterface(kIID_MScriptObject, &s, 1, 0) != kOk) return;
      auto self = RefPtr<MScriptObject>::Adopt(static_cast<MScriptObject*>(s));
      MScriptObject* raw = nullptr;
      if (engine_->Run(TString(script), &raw, self.Get(), self.Get(), self.Get()) != 0) return;
      auto value = RefPtr<MScriptObject>::Adopt(raw);
      TString result;
      if (ScriptDataEntity* data = value ? AsDataEntity(value.Get()) : nullptr)
        data->GetValue(&result);
      text = Utf8(result).c_str();
    });
    return text;
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

  ModuleSandbox sandbox_{
      {VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO, VK2_TEST_GUI_SO, VK2_TEST_VISUAL_SO, VK2_TEST_CORE_SO}};
  TempFolder folder_;
  RefPtr<MOmbrixApp> app_;
  RefPtr<MScriptEngine> engine_;
  RefPtr<MVisualHost> host_;
  RefPtr<MCore> core_;
  RefPtr<MInterfaceLoader> loader_;
  RefPtr<MInterfaceDefinition> iface_;
  RefPtr<MWindowElement> frame_;
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
