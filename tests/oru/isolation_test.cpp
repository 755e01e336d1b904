// Two modules that both link the foundation keep their own copies of its globals.
#include <gtest/gtest.h>

#include "component/module/module_glue.h"
#include "component/module/module_library.h"
#include "component/module/runtime_loader.h"
#include "interfaces/runtime/entry_points.h"
#include "tests/oru/modules/test_module_api.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

TEST(IsolationTest, ModulesLinkingTheFoundationKeepTheirGlobalsApart) {
  Sandbox sandbox;
  sandbox.CopyModule("vk2test_alpha.so", sandbox.LibDir());
  sandbox.CopyModule("vk2test_beta.so", sandbox.LibDir());
  RuntimeSession session;
  auto alpha = CreateRuntimeObject<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
  auto beta = CreateRuntimeObject<MTestProbe>(kBetaProbeClass, kIID_MTestProbe);
  ASSERT_TRUE(alpha && beta);
  EXPECT_NE(alpha->FoundationAddress(), beta->FoundationAddress());
  EXPECT_NE(alpha->FoundationAddress(), reinterpret_cast<const void*>(&ModuleAttachCount));

  // Attaching one module again moves its count only.
  ModuleLibrary library;
  ASSERT_EQ(LoadModule(&library, WideFromNarrow((sandbox.LibDir() + "/vk2test_alpha.so").c_str()),
                       kModuleAttachRequired),
            0);
  EXPECT_EQ(alpha->AttachCount(), 2);
  EXPECT_EQ(beta->AttachCount(), 1);
  EXPECT_EQ(ModuleAttachCount(), 0) << "this program is no module";
  // Objects of one module count in that module alone.
  auto another = CreateRuntimeObject<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
  EXPECT_EQ(alpha->LiveObjects(), 2);
  EXPECT_EQ(beta->LiveObjects(), 1);
  UnloadModule(&library);
  EXPECT_EQ(alpha->AttachCount(), 1);
}

}  // namespace
}  // namespace vk2::test
