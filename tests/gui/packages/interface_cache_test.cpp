// The interface cache: one loaded index per package shared by every user of its interfaces,
// let go with the last use.
#include <gtest/gtest.h>

#include <string>

#include "gui/packages/interface_cache.h"
#include "gui/packages/interface_enumerator.h"
#include "tests/gui/packages/support/package_fixture.h"

namespace vk2::test {
namespace {

class InterfaceCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.Ready());
    const std::string path = PackageFixture::MakeZip(
        fixture_.InterfaceFolder() + "/shared.zip",
        {{"index.mml", IndexText({{"SharedFirstOne", "", ""}, {"SharedSecondOne", "", ""}})}});
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(list_.Scan());
    ASSERT_TRUE(list_.FindByName(u"SharedFirstOne", &first_));
    ASSERT_TRUE(list_.FindByName(u"SharedSecondOne", &second_));
  }
  PackageFixture fixture_;
  InterfaceEnumerator list_{fixture_.Services(), 1};
  InterfaceRecord first_;
  InterfaceRecord second_;
};

TEST_F(InterfaceCacheTest, InterfacesOfOnePackageShareOneLoadedIndex) {
  InterfaceCache cache(fixture_.Services());
  MInterfaceDefinition* a = nullptr;
  MInterfaceDefinition* again = nullptr;
  MInterfaceDefinition* b = nullptr;
  ASSERT_TRUE(cache.AcquireDefinition(first_, &a, nullptr));
  ASSERT_TRUE(cache.AcquireDefinition(first_, &again, nullptr));
  ASSERT_TRUE(cache.AcquireDefinition(second_, &b, nullptr));
  // One definition for the same interface, one package entry for both interfaces.
  EXPECT_EQ(a, again);
  EXPECT_NE(a, b);
  EXPECT_EQ(cache.PackageCount(), 1u);
  EXPECT_EQ(cache.UseCount(first_.identifier), 2);
  TString name;
  b->GetUniqueName(&name);
  EXPECT_EQ(std::string(Utf8(name).c_str()), "SharedSecondOne");

  // Giving one use back keeps the definition and the package.
  cache.ReleaseDefinition(again);
  again->Release();
  EXPECT_EQ(cache.UseCount(first_.identifier), 1);
  EXPECT_EQ(cache.PackageCount(), 1u);
  cache.ReleaseDefinition(a);
  a->Release();
  EXPECT_EQ(cache.UseCount(first_.identifier), 0);
  EXPECT_EQ(cache.PackageCount(), 1u);
  // The last use of the package's last interface lets the package go.
  cache.ReleaseDefinition(b);
  EXPECT_EQ(cache.PackageCount(), 0u);
  // A definition the cache does not know changes nothing.
  cache.ReleaseDefinition(b);
  b->Release();
  EXPECT_EQ(cache.PackageCount(), 0u);
}

TEST_F(InterfaceCacheTest, KeyedByPathAndTimeWordsAndFailingCleanly) {
  InterfaceCache cache(fixture_.Services());
  InterfaceRecord stamped = first_;
  stamped.time[5] = 2026;
  MInterfaceDefinition* plain = nullptr;
  MInterfaceDefinition* other = nullptr;
  ASSERT_TRUE(cache.AcquireDefinition(first_, &plain, nullptr));
  ASSERT_TRUE(cache.AcquireDefinition(stamped, &other, nullptr));
  EXPECT_EQ(cache.PackageCount(), 2u);
  EXPECT_NE(plain, other);

  // An interface the package does not hold, a package that is gone, a broken index: nothing
  // is handed out and nothing stays open.
  InterfaceRecord unknown = first_;
  unknown.identifier = 999;
  unknown.uniqueName = u"NotInThisPackage";
  unknown.time[5] = 1;
  InterfaceRecord gone = first_;
  gone.path = WideFromNarrow((fixture_.Elsewhere() / "gone.zip").c_str());
  InterfaceRecord broken = first_;
  broken.path = WideFromNarrow(
      PackageFixture::MakeZip(fixture_.Elsewhere() / "broken.zip", {{"other.mml", "x"}}).c_str());
  fixture_.TakeLog();
  for (const InterfaceRecord* record : {&unknown, &gone, &broken}) {
    MInterfaceDefinition* out = nullptr;
    EXPECT_FALSE(cache.AcquireDefinition(*record, &out, nullptr));
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(cache.PackageCount(), 2u);
  const std::string log = fixture_.TakeLog();
  EXPECT_NE(log.find("7:Interface Parse error:\t\n"), std::string::npos) << log;

  cache.ReleaseDefinition(plain);
  plain->Release();
  cache.ReleaseDefinition(other);
  other->Release();
  EXPECT_EQ(cache.PackageCount(), 0u);
}

}  // namespace
}  // namespace vk2::test
