// The module vk2_core as the runtime loads it: its classes and category, the objects its media
// core class hands out by id (one of each per process), and its loaders.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/core/playlist_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/error_registry.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class CoreModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  static int32_t Make(const Guid& classId, const Guid& iid, RefPtr<MUnknown>* out) {
    void* p = nullptr;
    const int32_t r = RuntimeCreateInstance(classId, iid, &p);
    *out = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(p));
    return r;
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_CORE_SO}};
};

TEST_F(CoreModuleTest, LoadersJoinTheirCategoryInOrder) {
  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  const struct {
    Guid member;
    const char16_t* name;
    const char16_t* className;
  } expected[] = {
      {kPlsLoaderClass, u"PLS Playlist Loader", u"PLS Playlist Loader factory"},
      {kM3uLoaderClass, u"M3U Playlist Loader", u"M3U Playlist Loader factory"},
      {kXplLoaderClass, u"XPL Playlist Loader", u"XPL Playlist Loader factory"},
  };
  uint32_t count = 0;
  ASSERT_EQ(classes->GetCategoryCount(kCategoryPlaylistLoaders, &count), 0);
  ASSERT_EQ(count, 3u);
  for (uint32_t i = 0; i < count; ++i) {
    Guid member;
    TString name, className;
    ASSERT_EQ(classes->GetCategoryEntry(kCategoryPlaylistLoaders, i, &member, &name), 0);
    EXPECT_TRUE(member == expected[i].member) << i;
    EXPECT_EQ(name, TString(expected[i].name));
    ASSERT_EQ(classes->GetClassName(member, &className), 0);
    EXPECT_EQ(className, TString(expected[i].className));
  }
  TString coreName;
  ASSERT_EQ(classes->GetClassName(kMediaCoreClass, &coreName), 0);
  EXPECT_EQ(coreName, TString(u"velkora media core"));
}

TEST_F(CoreModuleTest, TheCoreClassHandsOutOneObjectOfEachKind) {
  for (const Guid& id :
       {kIID_MCore, kIID_GenericLoader, kIID_SharedCounter, kIID_MNotificationThread}) {
    RefPtr<MUnknown> first, second;
    ASSERT_EQ(Make(kMediaCoreClass, id, &first), 0);
    ASSERT_EQ(Make(kMediaCoreClass, id, &second), 0);
    EXPECT_EQ(first.Get(), second.Get());
  }
  // The core's script objects need the script module, which this sandbox lacks: they cannot
  // be made (-3). Any other id is not served.
  for (const Guid& id :
       {kIID_PlaylistsScriptContainer, kIID_PlayersScriptContainer, kIID_PlayerHelperScriptObject,
        kIID_PrefsScriptObject, kIID_FilesScriptObject}) {
    RefPtr<MUnknown> none;
    EXPECT_EQ(Make(kMediaCoreClass, id, &none), kErrOutOfMemory);
    EXPECT_FALSE(none);
  }
  for (const Guid& id : {kIID_MPlaylistLoader, kIID_MPlayer}) {
    RefPtr<MUnknown> none;
    EXPECT_EQ(Make(kMediaCoreClass, id, &none), kErrNoInterface);
    EXPECT_FALSE(none);
  }
}

TEST_F(CoreModuleTest, LoaderClassesServeTheirLoaderOnly) {
  const struct {
    Guid classId;
    const char16_t* filter;
  } loaders[] = {
      {kPlsLoaderClass, u"*.pls"}, {kM3uLoaderClass, u"*.m3u"}, {kXplLoaderClass, u"*.xpl"}};
  for (const auto& l : loaders) {
    auto loader = CreateRuntimeObject<MPlaylistLoader>(l.classId, kIID_MPlaylistLoader);
    ASSERT_TRUE(loader);
    auto again = CreateRuntimeObject<MPlaylistLoader>(l.classId, kIID_MPlaylistLoader);
    EXPECT_EQ(loader.Get(), again.Get());
    std::vector<PlaylistLoaderDescription> described;
    ASSERT_EQ(loader->Describe(&described), 0);
    EXPECT_EQ(described.at(0).filter, TString(l.filter));
    RefPtr<MUnknown> none;
    EXPECT_EQ(Make(l.classId, kIID_GenericLoader, &none), kErrNoInterface);
  }
  auto generic = CreateRuntimeObject<MGenericLoader>(kMediaCoreClass, kIID_GenericLoader);
  ASSERT_TRUE(generic);
  std::vector<PlaylistLoaderEntry> listed;
  ASSERT_EQ(generic->ListLoaders(&listed), 0);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_STREQ(listed[0].description.description.c_str(), "PLS Playlist Files");
  EXPECT_STREQ(listed[2].description.description.c_str(), "XPL Playlist Files");
}

TEST_F(CoreModuleTest, TheModuleRegistersTheMediaSystemTable) {
  RefPtr<MUnknown> counter;
  ASSERT_EQ(Make(kMediaCoreClass, kIID_SharedCounter, &counter), 0);
  auto errors = CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
  ASSERT_TRUE(errors);
  EXPECT_NE(errors->FindTable("MediaSystem"), ErrorTableHandle{0});
}

}  // namespace
}  // namespace vk2::test
