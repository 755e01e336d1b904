#include <gtest/gtest.h>

#include "audio/common/module_identity.h"
#include "audio/common/properties_face.h"
#include "audio/common/property_table.h"
#include "foundation/util/result.h"
#include "tests/fixtures/audio/memory_preferences.h"
#include "tests/fixtures/audio/tstring_printer.h"

namespace vk2 {
namespace {

// A module with the identity texts, a read-only value and three settings, two of which
// constrain each other (the chunk may not exceed the size).
struct Module {
  Module() {
    table.AddIdentity(u"TestModule", u"A test module", 2.5);
    table.AddInteger(u"readonly", kPropInfo, u"a value", [](int32_t* v) {
      *v = 7;
      return kOk;
    });
    table.AddInteger(
        u"size", kPropStoredInteger, u"the size",
        [this](int32_t* v) {
          *v = size;
          return kOk;
        },
        [this](int32_t v) {
          if (v < chunk) return -21;
          size = v;
          return kOk;
        });
    table.AddInteger(
        u"chunk", kPropStoredInteger, u"the chunk",
        [this](int32_t* v) {
          *v = chunk;
          return kOk;
        },
        [this](int32_t v) {
          if (v > size) return -21;
          chunk = v;
          return kOk;
        });
    table.AddInteger(
        u"flag", kPropStoredInteger, u"an option",
        [this](int32_t* v) {
          *v = flag;
          return kOk;
        },
        [this](int32_t v) {
          flag = v != 0;
          return kOk;
        },
        SettingStorage::kBool);
    table.AddNumber(
        u"length", kPropStoredNumber, u"a length",
        [this](double* v) {
          *v = length;
          return kOk;
        },
        [this](double v) {
          length = v;
          return kOk;
        });
    table.AddString(u"hidden", kPropString, nullptr, [](TString* v) {
      *v = u"x";
      return kOk;
    });
  }
  // Validates size and chunk together, so stored settings load whatever their order.
  void UseGroupApplier() {
    table.SetSettingsApplier([this](const LoadedSettings& s) {
      int32_t newSize = size;
      int32_t newChunk = chunk;
      if (const auto* v = s.Find(u"size")) newSize = v->integer;
      if (const auto* v = s.Find(u"chunk")) newChunk = v->integer;
      if (newChunk <= newSize) {
        size = newSize;
        chunk = newChunk;
      }
      if (const auto* v = s.Find(u"flag")) flag = v->flag;
      if (const auto* v = s.Find(u"length")) length = v->number;
    });
  }
  PropertyTable table;
  int32_t size = 65536;
  int32_t chunk = 65536;
  bool flag = true;
  double length = 1.5;
};

TEST(ModuleProperties, IdentityAndKinds) {
  Module m;
  TString s;
  ASSERT_EQ(m.table.GetString(u"MODULENAME", &s), 0);
  EXPECT_EQ(s, u"TestModule");
  ASSERT_EQ(m.table.GetString(u"modulecopyright", &s), 0);
  EXPECT_EQ(s, kModuleCopyright);
  double d = 0;
  ASSERT_EQ(m.table.GetNumber(u"moduleversion", &d), 0);
  EXPECT_EQ(d, 2.5);
  int32_t i = 0;
  // A name known only to another kind is unknown here.
  EXPECT_EQ(m.table.GetInteger(u"moduleversion", &i), kErrNotFound);
  EXPECT_EQ(m.table.GetInteger(u"nosuch", &i), kErrNotFound);
  // Read-only values refuse writes as unknown.
  EXPECT_EQ(m.table.SetInteger(u"readonly", 3), kErrNotFound);
  EXPECT_EQ(m.table.SetInteger(u"chunk", 100000), -21);
}

TEST(ModuleProperties, DescribeListsInOrderWithFlags) {
  Module m;
  PropertyDescriptionList list;
  ASSERT_EQ(m.table.Describe(&list), 0);
  ASSERT_EQ(list.Count(), 9u);  // "hidden" has no help text
  EXPECT_EQ(list.At(0).name, u"modulename");
  EXPECT_EQ(list.At(0).flags, 49u);
  EXPECT_EQ(list.At(3).flags, 51u);
  EXPECT_EQ(list.At(4).flags, 18u);
  EXPECT_EQ(list.At(5).flags, 66u);
  EXPECT_EQ(list.At(8).flags, 67u);
  EXPECT_EQ(list.At(2).help, u"the owner of the copyright of this audio component");
}

TEST(ModuleProperties, LoadWritesMissingValuesAndKeepsThem) {
  // Booleans too: a setting that defaults to on stays on when nothing is stored yet.
  for (const bool initial : {false, true}) {
    Module m;
    m.flag = initial;
    RefPtr<MPreferenceStore> store = test::MakeMemoryPreferences();
    ASSERT_EQ(m.table.LoadSettings(store.Get()), 0);
    EXPECT_EQ(m.flag, initial);
    int32_t size = 0;
    double length = 0;
    EXPECT_EQ(store->GetInt(u"size", &size), 0);
    EXPECT_EQ(size, 65536);
    EXPECT_EQ(store->GetDouble(u"length", &length), 0);
    EXPECT_EQ(length, 1.5);
    bool flag = !initial;
    EXPECT_EQ(store->GetBool(u"flag", &flag), 0);
    EXPECT_EQ(flag, initial);
  }
}

TEST(ModuleProperties, SaveThenLoadRoundTrips) {
  Module a;
  a.flag = true;
  a.length = 0.25;
  a.size = 1000;
  a.chunk = 500;
  RefPtr<MPreferenceStore> store = test::MakeMemoryPreferences();
  ASSERT_EQ(a.table.SaveSettings(store.Get()), 0);
  Module b;
  b.UseGroupApplier();
  ASSERT_EQ(b.table.LoadSettings(store.Get()), 0);
  EXPECT_TRUE(b.flag);
  EXPECT_EQ(b.length, 0.25);
  EXPECT_EQ(b.size, 1000);
  EXPECT_EQ(b.chunk, 500);
}

// Setters applied one by one depend on the order of the stored values: shrinking both
// refuses the size (the chunk is still large). The group applier checks the pair together.
TEST(ModuleProperties, GroupValidationMakesLoadingOrderFree) {
  RefPtr<MPreferenceStore> store = test::MakeMemoryPreferences();
  store->SetInt(u"size", 8192);
  store->SetInt(u"chunk", 4096);
  Module oneByOne;
  oneByOne.table.LoadSettings(store.Get());
  EXPECT_EQ(oneByOne.size, 65536);  // refused: chunk was 65536 when size came
  Module grouped;
  grouped.UseGroupApplier();
  grouped.table.LoadSettings(store.Get());
  EXPECT_EQ(grouped.size, 8192);
  EXPECT_EQ(grouped.chunk, 4096);
}

TEST(ModuleProperties, FaceFallsBackToInnerObject) {
  Module outer;
  Module inner;
  inner.table.AddInteger(u"inneronly", kPropInteger, u"inner", [](int32_t* v) {
    *v = 42;
    return kOk;
  });
  struct Owner : MUnknown {
    int32_t QueryInterface(const Guid&, void**, uint32_t, uint32_t) override { return -15; }
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }
  } owner;
  PropertiesFace innerFace(&owner, &inner.table);
  PropertiesFace face(&owner, &outer.table);
  face.SetInner([&] { return RefPtr<MModuleProperties>(&innerFace); });
  int32_t v = 0;
  ASSERT_EQ(face.GetInteger(u"inneronly", &v), 0);
  EXPECT_EQ(v, 42);
  PropertyDescriptionList list;
  face.Describe(&list);
  // The inner object's descriptions come first.
  EXPECT_EQ(list.At(list.Count() - 1).name, u"length");
  EXPECT_EQ(list.At(9).name, u"inneronly");
}

}  // namespace
}  // namespace vk2
