#include "gui/state/app_state_store.h"

#include <gtest/gtest.h>

#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

// Counts its references; the test holds the first.
class Counted final : public ComObject<Counted, SilentFace<MUnknown>> {
 public:
  explicit Counted(int* deaths) : deaths_(deaths) {}

 private:
  ~Counted() override { ++*deaths_; }
  int* deaths_;
};

constexpr Guid kKeyA = MakeGuid("AB000001-0000-0000-0000-000000000001");
constexpr Guid kKeyB = MakeGuid("AB000002-0000-0000-0000-000000000002");  // same top byte

TEST(AppStateStore, ValueMapsSetReadRemove) {
  RefPtr<MAppStateStore> store = AppStateStore::Create();
  void* out = nullptr;
  EXPECT_EQ(store->QueryInterface(kIID_MBaseObject, &out), kErrNoInterface);

  uint32_t word = 99;
  EXPECT_EQ(store->GetWordA(kKeyA, &word), kErrNotFound);
  EXPECT_EQ(word, 99u);  // untouched
  store->SetWordA(kKeyA, 1);
  store->SetWordA(kKeyA, 2);
  store->SetWordB(kKeyA, 7);
  EXPECT_EQ(store->GetWordA(kKeyA, &word), kOk);
  EXPECT_EQ(word, 2u);
  EXPECT_EQ(store->GetWordB(kKeyA, &word), kOk);
  EXPECT_EQ(word, 7u);
  EXPECT_TRUE(store->RemoveWordA(kKeyA));
  EXPECT_FALSE(store->RemoveWordA(kKeyA));
  EXPECT_EQ(store->GetWordB(kKeyA, &word), kOk);  // the maps are separate

  store->SetText(kKeyA, u"first");
  store->SetText(kKeyB, u"second");
  EXPECT_TRUE(store->RemoveText(kKeyA));
  TString text;
  EXPECT_EQ(store->GetText(kKeyA, &text), kErrNotFound);
  EXPECT_EQ(store->GetText(kKeyB, &text), kOk);  // a neighbour in the same bucket stays
  EXPECT_EQ(text, TString(u"second"));
  EXPECT_FALSE(store->RemoveWordB(kKeyB));
}

TEST(AppStateStore, ObjectsAreHeldOnceAndReleasedOnce) {
  int deaths = 0;
  RefPtr<MAppStateStore> store = AppStateStore::Create();
  EXPECT_EQ(store->SetObject(kKeyA, nullptr), kErrMissingArg);
  {
    RefPtr<Counted> first(new Counted(&deaths));
    RefPtr<Counted> second(new Counted(&deaths));
    ASSERT_EQ(store->SetObject(kKeyA, first.Get()), kOk);
    EXPECT_EQ(first->RefCount(), 2u);
    ASSERT_EQ(store->SetObject(kKeyA, second.Get()), kOk);  // replaces: first released once
    EXPECT_EQ(first->RefCount(), 1u);
    MUnknown* got = nullptr;
    ASSERT_EQ(store->GetObject(kKeyA, &got), kOk);
    EXPECT_EQ(got, static_cast<MUnknown*>(second.Get()));
    EXPECT_EQ(second->RefCount(), 3u);
    got->Release();
    EXPECT_EQ(second->RefCount(), 2u);
    ASSERT_EQ(store->SetObject(kKeyB, first.Get()), kOk);
  }
  EXPECT_EQ(deaths, 0);
  EXPECT_TRUE(store->RemoveObject(kKeyB));
  EXPECT_EQ(deaths, 1);
  EXPECT_FALSE(store->RemoveObject(kKeyB));
  MUnknown* none = nullptr;
  EXPECT_EQ(store->GetObject(kKeyB, &none), kErrNotFound);
  store = nullptr;  // the last reference releases what the store still holds
  EXPECT_EQ(deaths, 2);
}

}  // namespace
}  // namespace vk2::gui
