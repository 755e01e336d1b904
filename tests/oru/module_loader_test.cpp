// The module glue: loading libraries, attach counting, class objects, locating the runtime.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "component/module/module_library.h"
#include "component/module/runtime_loader.h"
#include "interfaces/runtime/class_factory.h"
#include "interfaces/runtime/entry_points.h"
#include "platform/executable_path.h"
#include "platform/registry/registry_file.h"
#include "tests/oru/modules/test_module_api.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

class ModuleLoaderTest : public ::testing::Test {
 protected:
  Sandbox sandbox_;
};

struct LoadCase {
  const char* what;
  std::string path;
  int32_t mode;
  int32_t expected;
};

TEST_F(ModuleLoaderTest, LoadModuleResultCodes) {
  std::string notElf = sandbox_.WriteFile("not_a_library.so", "plain text, not a library");
  const LoadCase cases[] = {
      {"empty path", "", kModuleAttachIfExported, kModuleNotFound},
      {"missing file", sandbox_.Root() + "/missing.so", kModuleAttachIfExported, kModuleNotFound},
      {"missing file, attach required", sandbox_.Root() + "/missing.so", kModuleAttachRequired,
       kModuleNoAttachExport},
      {"not a library", notElf, kModuleAttachIfExported, kModuleLoadFailed},
      {"no DLLAttach, attach required", BuiltModule("vk2test_plain.so"), kModuleAttachRequired,
       kModuleNoAttachExport},
      {"no DLLAttach, attach if exported", BuiltModule("vk2test_plain.so"), kModuleAttachIfExported,
       0},
      {"attach refused", BuiltModule("vk2test_refusing.so"), kModuleAttachIfExported,
       kModuleRefused},
      {"module", BuiltModule("vk2test_beta.so"), kModuleAttachRequired, 0},
      {"name ending in a dot", BuiltModule("vk2test_beta."), kModuleAttachRequired, 0},
  };
  RuntimeSession session;
  ASSERT_TRUE(session.Bound());
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    ModuleLibrary library;
    EXPECT_EQ(LoadModule(&library, WideFromNarrow(c.path.c_str()), c.mode), c.expected);
    EXPECT_EQ(library.handle != nullptr, c.expected == 0);
    UnloadModule(&library);
    EXPECT_EQ(library.handle, nullptr);
  }
}

TEST_F(ModuleLoaderTest, NameRuleAppendsSoOnlyAfterADot) {
  EXPECT_STREQ(ModuleFileName(u"oru.").c_str(), "oru.so");
  EXPECT_STREQ(ModuleFileName(u"/x/vk2_core.so").c_str(), "/x/vk2_core.so");
  EXPECT_STREQ(ModuleFileName(u"/x/name").c_str(), "/x/name");
}

TEST_F(ModuleLoaderTest, AttachCountsAndOnlyTheLastDetachUnbinds) {
  RuntimeSession session;
  ModuleLibrary library;
  ASSERT_EQ(
      LoadModule(&library, WideFromNarrow(BuiltModule("vk2test_beta.so").c_str()), kModuleNoAttach),
      0);
  auto attach = reinterpret_cast<DllAttachFn>(FindModuleExport(library, "DLLAttach"));
  auto factory = reinterpret_cast<MIFactoryFn>(FindModuleExport(library, "MIFactory"));
  ASSERT_TRUE(attach && factory);

  EXPECT_EQ(attach(1), 1);
  EXPECT_EQ(attach(1), 1);
  void* p = nullptr;
  ASSERT_EQ(factory(&kBetaProbeClass, &p), 0);
  auto classObject = RefPtr<MClassFactory>::Adopt(static_cast<MClassFactory*>(p));
  ASSERT_EQ(classObject->CreateInstance(kIID_MTestProbe, &p, nullptr), 0);
  auto probe = RefPtr<MTestProbe>::Adopt(static_cast<MTestProbe*>(p));
  EXPECT_EQ(probe->AttachCount(), 2);
  ASSERT_EQ(probe->HoldThreadValue(), 0);
  EXPECT_EQ(probe->LiveObjects(), 2);
  EXPECT_EQ(attach(-1), 1);
  EXPECT_EQ(probe->AttachCount(), 1);
  EXPECT_EQ(probe->LiveObjects(), 2);
  EXPECT_EQ(attach(-1), 1);
  EXPECT_EQ(probe->AttachCount(), 0);
  EXPECT_EQ(probe->LiveObjects(), 1) << "the last detach released the per-thread values";
  // A detach too many is harmless.
  EXPECT_EQ(attach(-1), 1);
  EXPECT_EQ(probe->AttachCount(), 0);
  // Attach again binds again.
  EXPECT_EQ(attach(1), 1);
  EXPECT_EQ(probe->AttachCount(), 1);
  EXPECT_EQ(attach(-1), 1);
  probe = nullptr;
  classObject = nullptr;
  UnloadModule(&library);
}

TEST_F(ModuleLoaderTest, FailedFirstAttachCanBeRetried) {
  // Without a runtime to bind, the first attach fails and leaves the count as it was.
  ::setenv("ORU_SHARED_PATH", (sandbox_.Root() + "/nowhere/oru.so").c_str(), 1);
  ModuleLibrary library;
  ASSERT_EQ(
      LoadModule(&library, WideFromNarrow(BuiltModule("vk2test_beta.so").c_str()), kModuleNoAttach),
      0);
  auto attach = reinterpret_cast<DllAttachFn>(FindModuleExport(library, "DLLAttach"));
  EXPECT_EQ(attach(1), 0);
  EXPECT_EQ(attach(1), 0);
  ::setenv("ORU_SHARED_PATH", sandbox_.RuntimePath().c_str(), 1);
  {
    RuntimeSession session;
    EXPECT_EQ(attach(1), 1);
    EXPECT_EQ(attach(-1), 1);
  }
  UnloadModule(&library);
}

TEST_F(ModuleLoaderTest, MIFactoryRefusesUnknownClassesWithANullOut) {
  ModuleLibrary library;
  ASSERT_EQ(
      LoadModule(&library, WideFromNarrow(BuiltModule("vk2test_beta.so").c_str()), kModuleNoAttach),
      0);
  auto factory = reinterpret_cast<MIFactoryFn>(FindModuleExport(library, "MIFactory"));
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(factory(&kUnservedClass, &out), -15);
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(factory(nullptr, &out), -15);
  EXPECT_EQ(out, nullptr);

  // A class object answers no interface of its own.
  ASSERT_EQ(factory(&kBetaProbeClass, &out), 0);
  auto classObject = RefPtr<MClassFactory>::Adopt(static_cast<MClassFactory*>(out));
  void* iface = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(classObject->QueryInterface(kIID_MTestProbe, &iface, 1, 0), -15);
  EXPECT_EQ(iface, nullptr);
  iface = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(classObject->CreateInstance(kIID_MTestPart, &iface, nullptr), -15);
  EXPECT_EQ(iface, nullptr);
  classObject = nullptr;
  UnloadModule(&library);
}

TEST_F(ModuleLoaderTest, LocateRuntimePathPrefersTheVariable) {
  ASSERT_TRUE(registry::RegWriteString(registry::RootKey::kClassesRoot, "ORU", "sharedpath",
                                       "/from/registry/oru.so"));
  ::setenv("ORU_SHARED_PATH", "/from/variable/oru.so", 1);
  EXPECT_STREQ(Utf8(LocateRuntimePath()).c_str(), "/from/variable/oru.so");
  ::setenv("ORU_SHARED_PATH", "", 1);
  EXPECT_STREQ(Utf8(LocateRuntimePath()).c_str(), "/from/registry/oru.so");
  ::unsetenv("ORU_SHARED_PATH");
  EXPECT_STREQ(Utf8(LocateRuntimePath()).c_str(), "/from/registry/oru.so");
  ASSERT_TRUE(registry::RegDeleteValue(registry::RootKey::kClassesRoot, "ORU", "sharedpath"));
  EXPECT_TRUE(LocateRuntimePath().IsEmpty());
}

TEST_F(ModuleLoaderTest, RuntimeFoundThroughTheRegistryValue) {
  ::unsetenv("ORU_SHARED_PATH");
  ASSERT_TRUE(registry::RegWriteString(registry::RootKey::kClassesRoot, "ORU", "sharedpath",
                                       sandbox_.RuntimePath()));
  RuntimeSession session;
  ASSERT_TRUE(session.Bound());
  EXPECT_TRUE(IsRuntimeFirstUser());
  // Loaded with local scope: its entry point is not visible to everyone.
  EXPECT_EQ(::dlsym(RTLD_DEFAULT, "MCreateInstance"), nullptr);
}

TEST_F(ModuleLoaderTest, WithoutVariableOrRegistryTheRuntimeBesideTheProgramIsUsed) {
  ::unsetenv("ORU_SHARED_PATH");
  EXPECT_TRUE(LocateRuntimePath().IsEmpty());
  std::string expected = ExecutableFolder();
  EXPECT_STREQ(Utf8(DefaultRuntimePath()).c_str(), (expected + "/../lib/velkora2/oru.").c_str());
  // Test programs lie in the build's bin folder, so the built runtime is found.
  RuntimeSession session;
  EXPECT_TRUE(session.Bound());
}

TEST_F(ModuleLoaderTest, UnboundCreationFailsCleanly) {
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_FALSE(IsRuntimeBound());
  EXPECT_LT(RuntimeCreateInstance(kAlphaProbeClass, kIID_MTestProbe, &out), 0);
  EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace vk2::test
