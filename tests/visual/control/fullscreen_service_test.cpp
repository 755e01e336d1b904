// The full-screen service as scripts reach it through `visuals`: displays listed, the chosen
// display kept in the store, sessions launched on the headless backend, one per display.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "foundation/util/result.h"
#include "tests/script/script_fixture.h"
#include "tests/visual/control/fullscreen_test_platform.h"
#include "tests/visual/visual_test_support.h"
#include "visual/fullscreen/fullscreen_service.h"

namespace vk2::test {
namespace {

class FullscreenServiceTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
    visuals = MakeObject("visuals");
    root = f.runtime.Registry().NewPreferences();
    platform = std::make_shared<TestPlatform>(&f);
    service = FullscreenService::Make(platform, root.Get());
    ASSERT_TRUE(service);
    ASSERT_EQ(service->Register(visuals.Get()), kOk);
  }
  void TearDown() override {
    service->StopAll();
    service = nullptr;
    visuals = nullptr;
    ScriptTest::TearDown();
  }
  std::string Call(const std::string& call, int32_t* status = nullptr) {
    std::string value;
    const int32_t r = Run("return (this." + call + ");", visuals.Get(), &value);
    if (status) *status = r;
    return r == 0 ? value : "<failed>";
  }
  bool WaitOpen(size_t index) {
    for (int i = 0; i < 2000; ++i) {
      {
        std::lock_guard lock(platform->mutex);
        if (platform->backends.size() > index && platform->backends[index]->State().open) {
          return true;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  HostFixture f;
  RefPtr<MScriptObject> visuals;
  RefPtr<MPreferenceStore> root;
  std::shared_ptr<TestPlatform> platform;
  RefPtr<FullscreenService> service;
};

TEST_F(FullscreenServiceTest, ListsTheDisplaysAndKeepsTheChosenOne) {
  EXPECT_EQ(Call("GetDeviceList()"),
            "{{name: display0, description: Primary display, GUID: "
            "00000000-0000-0000-0000-000000000000}, {name: display1, description: Second "
            "display, GUID: 6F1D2C3B-4A59-4E68-8877-665544332211}}");
  EXPECT_EQ(Call("SetDisplayDevice(\"6F1D2C3B-4A59-4E68-8877-665544332211\")"), "");
  RefPtr<MPreferenceStore> stored = f.runtime.Registry().NewPreferences();
  stored->OpenSection(u"visuals", 1);
  Guid id{};
  uint32_t count = 0;
  ASSERT_EQ(stored->GetGuidList(u"DDDevice", &id, 1, &count), 0);
  EXPECT_EQ(id, kSecond);
  for (const char* bad : {"SetDisplayDevice(\"not a guid\")", "SetDisplayDevice(\"\")"}) {
    int32_t status = 0;
    Call(bad, &status);
    EXPECT_NE(status, 0) << bad;
  }
  platform->reachable = false;
  int32_t status = 0;
  Call("GetDeviceList()", &status);
  EXPECT_NE(status, 0) << "no displays: a failure";
}

TEST_F(FullscreenServiceTest, LaunchesOneDisplayPerDeviceAndEndsOnEsc) {
  ASSERT_EQ(Call("LaunchFullScreenVis(\"\", \"\", 0, 0)"), "");
  ASSERT_TRUE(WaitOpen(0));
  EXPECT_EQ(service->RunningCount(), 1u);
  // The same display again is refused; another display may run beside it.
  EXPECT_EQ(service->Launch(TString(), TString()), kErrAlreadyPresent);
  ASSERT_EQ(Call("SetDisplayDevice(\"6F1D2C3B-4A59-4E68-8877-665544332211\")"), "");
  EXPECT_EQ(service->Launch(TString(), TString()), kOk);
  ASSERT_TRUE(WaitOpen(platform->backends.size() - 1));
  EXPECT_EQ(service->RunningCount(), 2u);

  EXPECT_FALSE(platform->backends[0]->State().switched) << "modes are render sizes by default";

  platform->backends[0]->Inject(FullscreenAction::kQuit);
  platform->clock.Advance(20);
  for (int i = 0; i < 2000 && service->RunningCount() != 1; ++i) {
    platform->clock.Advance(20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(service->RunningCount(), 1u);
  EXPECT_TRUE(platform->backends[0]->State().closed);
  int32_t status = 0;
  Call("LaunchFullScreenVis(\"x\")", &status);
  EXPECT_NE(status, 0) << "arguments that do not unpack";
}

TEST_F(FullscreenServiceTest, AnExclusiveDisplaySwitchesTheDisplayMode) {
  RefPtr<MPreferenceStore> visualsSection = f.runtime.Registry().NewPreferences();
  ASSERT_EQ(visualsSection->OpenSection(u"visuals", 1), 0);
  ASSERT_EQ(visualsSection->SetBool(u"useExclusive", true), 0);
  ASSERT_EQ(service->Launch(TString(), TString()), kOk);
  ASSERT_TRUE(WaitOpen(0));
  EXPECT_TRUE(platform->backends[0]->State().switched);
}

}  // namespace
}  // namespace vk2::test
