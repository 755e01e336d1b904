// The window manager's input settings, kept by the GUI layer of the runtime.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "gui/windows/window_manager.h"
#include "interfaces/gui/input_settings.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::gui {
namespace {

class WindowSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  test::ModuleSandbox sandbox_{{VK2_TEST_ORU_SO}};
};

TEST_F(WindowSettingsTest, KnobSettingsAreRegisteredAndChangeThroughTheManager) {
  WindowManager manager(
      u"/nowhere",
      WindowManager::Hooks{[](int32_t, const TString&) {}, [](const TString&) {}, [] {}, {}, {}});
  struct Case {
    const char16_t* name;
    int32_t value;
    int32_t type;
  };
  const Case defaults[] = {
      {u"radialknobcontrol", 0, kSettingTypeInteger},
      {u"knobsensitivity", 150, kSettingTypeInteger},
      {u"nosuchsetting", 0, 0},
  };
  for (const Case& c : defaults) {
    int32_t value = -1;
    int32_t type = -1;
    EXPECT_TRUE(manager.GetInputSetting(c.name, &value, &type));
    EXPECT_EQ(value, c.value) << Utf8(TString(c.name)).c_str();
    EXPECT_EQ(type, c.type) << Utf8(TString(c.name)).c_str();
  }
  EXPECT_TRUE(manager.SetInputSetting(u"knobsensitivity", 80, kSettingTypeInteger));
  EXPECT_TRUE(manager.SetInputSetting(u"newsetting", 7, kSettingTypeInteger));
  int32_t value = 0;
  int32_t type = 0;
  manager.GetInputSetting(u"knobsensitivity", &value, &type);
  EXPECT_EQ(value, 80);
  manager.GetInputSetting(u"newsetting", &value, &type);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(type, kSettingTypeInteger);
}

}  // namespace
}  // namespace vk2::gui
