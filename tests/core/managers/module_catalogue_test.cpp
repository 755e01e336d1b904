// The module catalogue over the runtime's class registry holding a real decoder module.
#include "core/managers/module_catalogue.h"

#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/fake_clock.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class ModuleCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRuntime());
    classes_ = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
    ASSERT_TRUE(classes_);
    settings_ = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    ASSERT_TRUE(settings_);
    ASSERT_EQ(settings_->OpenSection(u"velkora/gui/player/default", 1), 0);
  }
  void TearDown() override {
    classes_ = nullptr;
    settings_ = nullptr;
    UnloadRuntime();
  }

  RefPtr<MUnknown> Instance(ModuleCatalogue& catalogue, const char16_t* module,
                            const char16_t* key) {
    MUnknown* raw = nullptr;
    if (catalogue.GetModuleInstance(module, key, settings_.Get(), &raw) < 0) return nullptr;
    return RefPtr<MUnknown>::Adopt(raw);
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_OGG_SO}};
  FakeClock clock_{1000};
  ScopedClock scopedClock_{clock_};
  RefPtr<MClassEnumerator> classes_;
  RefPtr<MPreferenceStore> settings_;
};

TEST_F(ModuleCatalogueTest, InstancesAreKeptPerKeyUntilUnusedForFiveSeconds) {
  ModuleCatalogue catalogue(classes_);
  std::vector<TString> names;
  ASSERT_EQ(catalogue.ListModules(&names), 0);
  ASSERT_EQ(names.size(), 1u);
  MUnknown* none = nullptr;
  EXPECT_EQ(catalogue.GetModuleInstance(u"no such module", u"k", settings_.Get(), &none),
            kErrNotFound);

  RefPtr<MUnknown> a = Instance(catalogue, names[0].c_str(), u"default");
  ASSERT_TRUE(a);
  EXPECT_EQ(Instance(catalogue, names[0].c_str(), u"DEFAULT").Get(), a.Get());
  RefPtr<MUnknown> b = Instance(catalogue, names[0].c_str(), u"other");
  ASSERT_TRUE(b);
  EXPECT_NE(b.Get(), a.Get());
  a = nullptr;
  b = nullptr;

  clock_.Advance(4000);
  ASSERT_TRUE(Instance(catalogue, names[0].c_str(), u"other"));  // used again at 5000
  clock_.Advance(999);
  catalogue.OnTick();
  EXPECT_EQ(catalogue.CachedInstanceCount(), 2u) << "4999 ms unused: kept";
  clock_.Advance(2);
  catalogue.OnTick();
  EXPECT_EQ(catalogue.CachedInstanceCount(), 1u) << "5001 ms unused: let go";
  clock_.Advance(4000);
  catalogue.OnTick();
  EXPECT_EQ(catalogue.CachedInstanceCount(), 0u);
}

class ListWatcher : public MModuleListListener {
 public:
  explicit ListWatcher(ModuleCatalogue* catalogue) : catalogue_(catalogue) {}
  void OnModuleListChanged() override {
    // Reads the catalogue from inside the call: no catalogue lock is held around it.
    std::vector<TString> names;
    catalogue_->ListModules(&names);
    seen.push_back(names.size());
  }
  std::vector<size_t> seen;

 private:
  ModuleCatalogue* catalogue_;
};

TEST_F(ModuleCatalogueTest, ListenersHearEveryRebuild) {
  ModuleCatalogue catalogue(classes_);
  ListWatcher watcher(&catalogue);
  ASSERT_EQ(catalogue.AddRemoveListener(&watcher, 1), 0);
  ASSERT_EQ(catalogue.AddRemoveListener(&watcher, 1), kErrAlreadyPresent);
  catalogue.Rebuild();
  EXPECT_EQ(watcher.seen, std::vector<size_t>{1});
  ASSERT_EQ(catalogue.AddRemoveListener(&watcher, 0), 0);
  catalogue.Rebuild();
  EXPECT_EQ(watcher.seen.size(), 1u);
}

}  // namespace
}  // namespace vk2::test
