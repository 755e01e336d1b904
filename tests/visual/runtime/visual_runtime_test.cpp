// The module as the player meets it: the runtime loads vk2_visual from its folder and serves
// the tap the media core puts into its chains, the one handler, and post effects, all by the
// handler's class id. This executable links none of the visual code.
#include <gtest/gtest.h>

#include <memory>

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "interfaces/visual/visual_endpoint.h"
#include "interfaces/visual/visual_host.h"
#include "interfaces/visual/visual_window.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class VisualRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_ = std::make_unique<ModuleSandbox>(
        std::vector<std::string>{VK2_TEST_ORU_SO, VK2_TEST_VISUAL_SO});
    ASSERT_TRUE(LoadRuntime());
  }
  void TearDown() override {
    UnloadRuntime();
    sandbox_.reset();
  }
  std::unique_ptr<ModuleSandbox> sandbox_;
};

TEST_F(VisualRuntime, ServesTheTapTheHandlerAndPostEffectsByClass) {
  RefPtr<MVisualEndpoint> tap =
      CreateRuntimeObject<MVisualEndpoint>(kVisualHandlerClass, kIID_MVisualEndpoint);
  ASSERT_TRUE(tap);
  EXPECT_EQ(tap->SetKey(7), tap.Get());
  EXPECT_EQ(tap->HasInput(), 1);
  RefPtr<MAudioModule> asModule =
      CreateRuntimeObject<MAudioModule>(kVisualHandlerClass, kIID_MAudioModule);
  EXPECT_TRUE(asModule) << "a tap for the chain-module id as well";

  RefPtr<MVisualHost> host =
      CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
  RefPtr<MVisualHost> again =
      CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
  ASSERT_TRUE(host);
  EXPECT_EQ(host.Get(), again.Get()) << "one handler per process";
  MVisualAudioHistory* history = nullptr;
  EXPECT_EQ(host->GetAudioHistory(&history), kOk);
  EXPECT_NE(history, nullptr);

  // The module put its own class among the post-effect classes.
  MVisualPostEffect* effect = nullptr;
  Guid classId{};
  ASSERT_EQ(host->NextPostEffect(&effect, &classId), kOk);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(classId, kVisualHandlerClass);
  effect->Release();
  EXPECT_TRUE(
      CreateRuntimeObject<MPrefsDialogProvider>(kVisualHandlerClass, kIID_MPrefsDialogProvider));
  EXPECT_FALSE(CreateRuntimeObject<MUnknown>(kVisualHandlerClass, kIID_MPlayer));
}

TEST_F(VisualRuntime, HandsOutANewFullScreenServiceForEachRequest) {
  RefPtr<MVisualWindow> first =
      CreateRuntimeObject<MVisualWindow>(kVisualHandlerClass, kIID_MVisualWindow);
  RefPtr<MVisualWindow> second =
      CreateRuntimeObject<MVisualWindow>(kVisualHandlerClass, kIID_MVisualWindow);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_EQ(first->Register(nullptr), kErrMissingArg);
}

TEST_F(VisualRuntime, FindsPluginsWithTheRuntimeRegisteringModuleFiles) {
  RefPtr<MVisualHost> host =
      CreateRuntimeObject<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
  ASSERT_TRUE(host);
  ASSERT_EQ(host->AddFiles(Utf16(std::string(VK2_VISUAL_PLUGIN_DIR) + "/*.vvp").c_str()), kOk);
  // The four first-generation plug-ins and the runtime module's class.
  EXPECT_EQ(host->GetCount(), 5u);
  RefPtr<MVisual> module;
  ASSERT_EQ(host->GetVisualByName(
                Utf16(std::string(VK2_VISUAL_PLUGIN_DIR) + "/rt_module.vvp").c_str(), module.Put()),
            kOk);
  EXPECT_EQ(host->Purge(1), kOk);
}

}  // namespace
}  // namespace vk2::test
