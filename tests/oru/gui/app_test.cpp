// The GUI application on its own loop thread (headless backend, real clock): launch, posts,
// quit and run, nested loops with pumps, shutdown; input settings; what BrintClass makes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "oru/core/base_object.h"
#include "oru/gui/brint_class.h"
#include "oru/gui/loop/app_object.h"
#include "oru/gui/loop/input_settings_object.h"
#include "oru/gui/window/window_part.h"
#include "platform/environment.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnv("VK2_GUI_BACKEND", "headless");
    ASSERT_EQ(app_.Launch(0, nullptr, nullptr, 0), 0);
  }
  void TearDown() override { EXPECT_EQ(app_.Shutdown(), 0); }

  template <class F>
  void OnLoop(F task) {
    RunOnLoop(app_, std::move(task));
  }

  AppObject& app_ = AppObject::Instance();
};

TEST_F(AppTest, PostsRunOnTheLoopThreadInOrder) {
  EXPECT_EQ(app_.IsGuiThread(), 0);
  std::vector<int> order;
  int onLoop = -1;
  for (int i = 0; i < 5; ++i) {
    OnLoop([&, i] {
      order.push_back(i);
      onLoop = app_.IsGuiThread();
    });
  }
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(onLoop, 1);
}

TEST_F(AppTest, QuitEndsRunWithItsCodeEvenWhenItCameFirst) {
  std::thread quitter([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    app_.Quit(7);
  });
  EXPECT_EQ(app_.Run(), 7);
  quitter.join();
  app_.Quit(9);
  EXPECT_EQ(app_.Run(), 9);
  // The loop serves on after a quit, until shutdown.
  bool ran = false;
  OnLoop([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST_F(AppTest, QuitsAreNeitherLostNorCarriedIntoTheNextLaunch) {
  // Quits from another thread, each followed by its Run, many times over: none is lost while
  // the loop clears the one before.
  for (int32_t code = 1; code <= 200; ++code) {
    std::thread quitter([this, code] { app_.Quit(code); });
    EXPECT_EQ(app_.Run(), code);
    quitter.join();
  }
  // A Quit no Run heard of belongs to its launch only.
  app_.Quit(3);
  ASSERT_EQ(app_.Shutdown(), 0);
  ASSERT_EQ(app_.Launch(0, nullptr, nullptr, 0), 0);
  std::thread quitter([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    app_.Quit(5);
  });
  EXPECT_EQ(app_.Run(), 5);
  quitter.join();
}

TEST_F(AppTest, NestedLoopServesPostsAndPumpsUntilDone) {
  bool servedInside = false;
  bool returned = false;
  int pumped = 0;
  OnLoop([&] {
    int32_t done = 0;
    LoopPump pump;
    pump.pump = [](void* p) { ++*static_cast<int*>(p); };
    pump.context = &pumped;
    pump.intervalMs = 1;
    EXPECT_EQ(app_.PushPump(&pump), 0);
    struct Inside {
      bool* served;
      int32_t* done;
    } inside{&servedInside, &done};
    // Posted from another thread while the nested loop runs.
    std::thread poster([this, &inside] {
      app_.PostToGuiThread(
          [](void* p) {
            auto* in = static_cast<Inside*>(p);
            *in->served = true;
            *in->done = 1;
          },
          &inside);
    });
    EXPECT_EQ(app_.RunNested(&done), 0);
    poster.join();
    EXPECT_EQ(app_.PopPump(), 0);
    returned = true;
  });
  EXPECT_TRUE(servedInside);
  EXPECT_TRUE(returned);
  EXPECT_GT(pumped, 0);
}

TEST_F(AppTest, HostsAreMadeOnTheLoopThreadOnly) {
  MHostWindow* offThread = nullptr;
  EXPECT_EQ(app_.CreateHost(&offThread), kErrWrongState);
  EXPECT_EQ(offThread, nullptr);
  OnLoop([&] {
    MHostWindow* host = nullptr;
    ASSERT_EQ(app_.CreateHost(&host), 0);
    EXPECT_EQ(host->DesiredFps(0), 60);
    EXPECT_EQ(host->DesiredFps(500), 60);  // out of range: unchanged
    EXPECT_EQ(host->DesiredFps(30), 30);
    host->Release();
  });
}

TEST_F(AppTest, ChangesFromOtherThreadsAreHandedToTheLoopAndReadsRefused) {
  RefPtr<RecordingPart> part;
  OnLoop([&] { part = RecordingPart::Make(); });
  const SizeI size{33, 44};
  EXPECT_EQ(part->Self()->SetValue(kValueSize, &size, sizeof size), 0);
  std::u16string text = u"from a worker";
  PropertyValue value;
  value.text = text.c_str();
  EXPECT_EQ(part->Self()->SetProperty(u"hoverhint", kPropertyString, &value), 0);
  text.assign(u"overwritten after the call");
  SizeI read;
  EXPECT_EQ(part->Self()->GetValue(kValueSize, &read, sizeof read), kErrWrongState);
  OnLoop([&] {
    EXPECT_EQ(part->Size(), size);
    PropertyValue got;
    ASSERT_EQ(part->Self()->GetProperty(u"hoverhint", &got), 0);
    EXPECT_EQ(std::u16string(got.text), u"from a worker");
    part = nullptr;
  });
}

TEST(AppLifecycleTest, ShutdownRefusesPostsAndLaunchStartsAgain) {
  SetEnv("VK2_GUI_BACKEND", "headless");
  AppObject& app = AppObject::Instance();
  ASSERT_EQ(app.Launch(0, nullptr, nullptr, 0), 0);
  ASSERT_EQ(app.Shutdown(), 0);
  EXPECT_EQ(app.PostToGuiThread([](void*) {}, nullptr), kErrFailed);
  EXPECT_EQ(app.Run(), kErrWrongState);
  ASSERT_EQ(app.Launch(0, nullptr, nullptr, 0), 0);
  std::atomic<bool> ran{false};
  ASSERT_EQ(app.PostToGuiThread([](void* p) { *static_cast<std::atomic<bool>*>(p) = true; }, &ran),
            0);
  while (!ran)
    std::this_thread::yield();
  ASSERT_EQ(app.Shutdown(), 0);
}

TEST(InputSettingsTest, RegisteredSettingsKeepTheirValueAndType) {
  InputSettingsObject& settings = InputSettingsObject::Instance();
  ASSERT_EQ(settings.RegisterInt(u"knobsensitivity", 150, kSettingTypeInteger), 0);
  int32_t type = -1;
  EXPECT_EQ(settings.ReadInt(u"knobsensitivity", &type), 150);
  EXPECT_EQ(type, kSettingTypeInteger);
  ASSERT_EQ(settings.SetInt(u"knobsensitivity", 90), 0);
  ASSERT_EQ(settings.RegisterInt(u"knobsensitivity", 150, kSettingTypeInteger), 0);
  EXPECT_EQ(settings.ReadInt(u"knobsensitivity", &type), 90);
  EXPECT_EQ(settings.ReadInt(u"nosuchsetting", &type), 0);
  EXPECT_EQ(type, 0);
  EXPECT_EQ(settings.SetInt(u"nosuchsetting", 1), kErrNotFound);
  EXPECT_EQ(settings.RegisterInt(u"x", 1, 2), kErrOutOfRange);
  settings.SetDithering(1);
  EXPECT_EQ(settings.IsDithering(), 1);
  settings.SetDithering(0);
}

TEST(BrintClassTest, MakesWindowPartsAggregatedAndTheServices) {
  // Stand-alone: a window part answering both window ids with one table.
  void* p = nullptr;
  ASSERT_EQ(CreateBrintObject(kIID_MWindowElement, &p, nullptr), 0);
  auto* element = static_cast<MWindowElement*>(p);
  void* same = nullptr;
  ASSERT_EQ(element->QueryInterface(kIID_MBrintWindow, &same, 0, 0), 0);
  EXPECT_EQ(same, element);
  EXPECT_NE(WindowPart::FromElement(element), nullptr);
  element->Release();

  // Aggregated into a base object: found through the base, alive while the base is.
  void* b = nullptr;
  ASSERT_EQ(oru::BaseObject::Create(nullptr, &b), 0);
  auto* base = static_cast<MBaseObject*>(b);
  void* inner = nullptr;
  ASSERT_EQ(CreateBrintObject(kIID_MWindowElement, &inner, base), 0);
  ASSERT_EQ(base->AddPart(static_cast<MUnknown*>(inner)), 0);
  static_cast<MUnknown*>(inner)->Release();
  void* viaBase = nullptr;
  ASSERT_EQ(base->QueryInterface(kIID_MWindowElement, &viaBase, 1, 0), 0);
  auto* aggregated = static_cast<MWindowElement*>(viaBase);
  SizeI size{30, 20};
  EXPECT_EQ(aggregated->SetValue(kValueSize, &size, sizeof size), 0);
  SizeI read;
  EXPECT_EQ(aggregated->GetValue(kValueSize, &read, sizeof read), 0);
  EXPECT_EQ(read, size);
  EXPECT_EQ(aggregated->GetValue(kValueSize, &read, 2), kErrOutOfRange);
  aggregated->Release();
  EXPECT_EQ(CreateBrintObject(kIID_MOmbrixApp, &p, base), kErrNoInterface);
  base->Release();

  ASSERT_EQ(CreateBrintObject(kIID_MDockPoint, &p, nullptr), 0);
  static_cast<MUnknown*>(p)->Release();
  ASSERT_EQ(CreateBrintObject(kIID_MInputSettings, &p, nullptr), 0);
  static_cast<MUnknown*>(p)->Release();
  EXPECT_EQ(CreateBrintObject(kIID_MConsole, &p, nullptr), kErrNoInterface);
}

}  // namespace
}  // namespace vk2::gui::test
