// The class registry: registering module files, creating classes by id, categories, the
// runtime registering the modules beside it, and the registry seen by the next process.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/registrar.h"
#include "oru/core/class_registry.h"
#include "oru/core/module_table.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/registry_format.h"
#include "tests/oru/modules/test_module_api.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

template <class T>
RefPtr<T> Create(const Guid& classId, const Guid& iid) {
  return CreateRuntimeObject<T>(classId, iid);
}

std::vector<Guid> CategoryMembers(const Guid& category) {
  std::vector<Guid> members;
  auto classes = Create<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  if (!classes) return members;
  uint32_t count = 0;
  if (classes->GetCategoryCount(category, &count) != 0) return members;
  for (uint32_t i = 0; i < count; ++i) {
    Guid id;
    if (classes->GetCategoryEntry(category, i, &id, nullptr) == 0) members.push_back(id);
  }
  return members;
}

int32_t Register(const std::string& path, int32_t mode = 1) {
  auto registrar = Create<MRegistrar>(kRuntimeRootClass, kIID_MRegistrar);
  if (!registrar) return -100;
  return registrar->RegisterModuleFile(mode, WideFromNarrow(path.c_str()).c_str(), 0);
}

class RegistrarTest : public ::testing::Test {
 protected:
  Sandbox sandbox_;
  std::string modules_ = sandbox_.MakeFolder("modules");
};

TEST_F(RegistrarTest, RegisteredModuleIsLoadedAskedForItsClassesAndUnloaded) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", modules_);
  {
    RuntimeSession session;
    ASSERT_TRUE(session.Bound());
    EXPECT_TRUE(IsRuntimeFirstUser());
    ASSERT_EQ(Register(alpha), 0);

    auto probe = Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
    ASSERT_TRUE(probe);
    // Loaded once by the runtime and attached once. Its attach called back into the runtime,
    // before its own classes were registered.
    EXPECT_EQ(probe->AttachCount(), 1);
    EXPECT_EQ(probe->MembersSeenAtAttach(), 0);
    EXPECT_EQ(probe->LiveObjects(), 1);

    auto classes = Create<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
    TString path, name;
    ASSERT_EQ(classes->GetClassModule(kAlphaProbeClass, &path), 0);
    EXPECT_STREQ(Utf8(path).c_str(), oru::CanonicalPath(alpha).c_str());
    ASSERT_EQ(classes->GetClassName(kAlphaPartClass, &name), 0);
    EXPECT_STREQ(Utf8(name).c_str(), "Alpha part");
    EXPECT_EQ(classes->GetClassModule(kUnservedClass, &path), -5);

    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_LT(RuntimeCreateInstance(kUnservedClass, kIID_MTestProbe, &out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_LT(RuntimeCreateInstance(kAlphaProbeClass, kIID_MTestPart, &out), 0);
    EXPECT_EQ(out, nullptr);
  }
  // The runtime went with the session, and the module with it: neither is mapped any more.
  EXPECT_FALSE(IsRuntimeBound());
  EXPECT_EQ(::dlopen(alpha.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  EXPECT_EQ(::dlopen(sandbox_.RuntimePath().c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(RegistrarTest, OneClassObjectPerClassForTheRuntimesLife) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", modules_);
  RuntimeSession session;
  ASSERT_EQ(Register(alpha), 0);
  auto first = Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
  ASSERT_TRUE(first);
  int32_t requests = first->FactoryRequests();
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe));
  EXPECT_EQ(first->FactoryRequests(), requests);
  // Another class of the module is a class object of its own.
  void* part = nullptr;
  ASSERT_EQ(RuntimeCreateInstance(kAlphaPartClass, kIID_MTestPart, &part), 0);
  static_cast<MUnknown*>(part)->Release();
  EXPECT_EQ(first->FactoryRequests(), requests + 1);
}

TEST_F(RegistrarTest, ConcurrentFirstCreationsShareTheClassObject) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", modules_);
  RuntimeSession session;
  ASSERT_EQ(Register(alpha), 0);
  std::vector<std::thread> threads;
  std::atomic<int> made{0};
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      for (int k = 0; k < 20; ++k)
        made += Create<MTestPart>(kAlphaPartClass, kIID_MTestPart) ? 1 : 0;
    });
  }
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(made.load(), 160);
  auto probe = Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
  // One MIFactory call from registration order aside: one per class.
  EXPECT_EQ(probe->FactoryRequests(), 2);
  EXPECT_EQ(probe->LiveObjects(), 1);
}

TEST_F(RegistrarTest, CategoriesKeepRegistrationOrderAcrossModules) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", modules_);
  std::string beta = sandbox_.CopyModule("vk2test_beta.so", modules_);
  RuntimeSession session;
  ASSERT_EQ(Register(beta), 0);
  ASSERT_EQ(Register(alpha), 0);
  std::vector<Guid> expected = {kBetaProbeClass, kAlphaPartClass, kAlphaProbeClass};
  EXPECT_EQ(CategoryMembers(kTestCategory), expected);
  // Registering again changes nothing: members keep their places.
  ASSERT_EQ(Register(beta), 0);
  EXPECT_EQ(CategoryMembers(kTestCategory), expected);

  auto classes = Create<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  TString name;
  Guid id;
  ASSERT_EQ(classes->GetCategoryEntry(kTestCategory, 1, &id, &name), 0);
  EXPECT_STREQ(Utf8(name).c_str(), "Alpha part");
  EXPECT_EQ(classes->GetCategoryEntry(kTestCategory, 3, &id, &name), -5);
  uint32_t count = 99;
  ASSERT_EQ(classes->GetCategoryCount(kUnservedClass, &count), 0);
  EXPECT_EQ(count, 0u);

  // Unregistering a module takes its classes and members out.
  ASSERT_EQ(Register(alpha, 0), 0);
  EXPECT_EQ(CategoryMembers(kTestCategory), std::vector<Guid>{kBetaProbeClass});
  EXPECT_LT(RuntimeCreateInstance(kAlphaPartClass, kIID_MTestPart, nullptr), 0);
}

TEST_F(RegistrarTest, FilesThatAreNotModulesAreRefused) {
  std::string text = sandbox_.WriteFile("modules/readme.so", "not a module");
  std::string plain = sandbox_.CopyModule("vk2test_plain.so", modules_);
  std::string refusing = sandbox_.CopyModule("vk2test_refusing.so", modules_);
  RuntimeSession session;
  EXPECT_NE(Register(text), 0);
  EXPECT_NE(Register(plain), 0);
  EXPECT_NE(Register(refusing), 0);
  EXPECT_NE(Register(sandbox_.Root() + "/modules/missing.so"), 0);
  EXPECT_TRUE(CategoryMembers(kTestCategory).empty());
}

class ChangeCounter : public MRegistryChangeListener {
 public:
  void OnRegistryChanged() override { ++changes; }
  int changes = 0;
};

TEST_F(RegistrarTest, ChangeListenersHearRegistrations) {
  std::string beta = sandbox_.CopyModule("vk2test_beta.so", modules_);
  RuntimeSession session;
  auto classes = Create<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ChangeCounter counter;
  ASSERT_EQ(classes->AddRemoveChangeListener(&counter, 1), 0);
  EXPECT_EQ(classes->AddRemoveChangeListener(&counter, 1), -6);
  ASSERT_EQ(Register(beta), 0);
  EXPECT_EQ(counter.changes, 1);
  ASSERT_EQ(Register(beta), 0);
  EXPECT_EQ(counter.changes, 1) << "an unchanged registration is no change";
  ASSERT_EQ(classes->AddRemoveChangeListener(&counter, 0), 0);
  EXPECT_EQ(classes->AddRemoveChangeListener(&counter, 0), -5);
}

TEST_F(RegistrarTest, ModulesBesideTheRuntimeRegisterThemselves) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", sandbox_.LibDir());
  {
    RuntimeSession session;
    auto probe = Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
    ASSERT_TRUE(probe) << "no registration step was needed";
  }
  std::string canonical = oru::CanonicalPath(alpha);
  oru::ClassRegistry registry(registry::DefaultRegistry());
  std::optional<oru::ModuleStamp> first = registry.RegisteredStamp(canonical);
  ASSERT_TRUE(first);

  // A module changed on disk is registered again; an unchanged one is not.
  {
    std::ofstream grow(alpha, std::ios::app | std::ios::binary);
    grow << std::string(64, '\0');
  }
  {
    RuntimeSession session;
    uint32_t count = 0;
    auto classes = Create<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
    ASSERT_EQ(classes->GetCategoryCount(kTestCategory, &count), 0);
    EXPECT_EQ(count, 2u);
  }
  std::optional<oru::ModuleStamp> second = registry.RegisteredStamp(canonical);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->size, first->size + 64);
}

// ---- Across processes, through the registration tool ----------------------------------------

TEST_F(RegistrarTest, EnlistmodRegistersForTheNextProcess) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", modules_);
  std::string errors;
  ASSERT_EQ(RunProgram({VK2_TEST_ENLISTMOD, alpha}, &errors), 0);
  EXPECT_EQ(errors, "");
  ASSERT_TRUE(FileExists(sandbox_.RegistryPath()));

  RuntimeSession session;
  auto probe = Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
  ASSERT_TRUE(probe);
  std::vector<Guid> expected = {kAlphaPartClass, kAlphaProbeClass};
  EXPECT_EQ(CategoryMembers(kTestCategory), expected);
}

TEST_F(RegistrarTest, ParallelEnlistmodRunsLeaveAValidRegistry) {
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", modules_);
  std::string beta = sandbox_.CopyModule("vk2test_beta.so", modules_);
  std::vector<std::thread> runs;
  std::atomic<int> failures{0};
  for (int i = 0; i < 6; ++i) {
    runs.emplace_back([&, i] {
      if (RunProgram({VK2_TEST_ENLISTMOD, i % 2 ? alpha : beta}) != 0) ++failures;
    });
  }
  for (auto& t : runs)
    t.join();
  EXPECT_EQ(failures.load(), 0);
  registry::RegistryKey tree;
  std::string error;
  ASSERT_TRUE(registry::ParseRegistryText(ReadTextFile(sandbox_.RegistryPath()), &tree, &error))
      << error;
  RuntimeSession session;
  EXPECT_TRUE(Create<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe));
  EXPECT_TRUE(Create<MTestProbe>(kBetaProbeClass, kIID_MTestProbe));
  EXPECT_EQ(CategoryMembers(kTestCategory).size(), 3u);
}

}  // namespace
}  // namespace vk2::test
