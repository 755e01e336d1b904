// Interface packages: found under the interface folder as zip archives and folders, indexed by
// unique name, checked, installed, described and removed.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "gui/packages/interface_enumerator.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/gui/packages/support/package_fixture.h"

namespace vk2::test {
namespace {

std::string N(const TString& text) {
  return Utf8(text).c_str();
}

const char kFrames[] =
    "<property name=\"Velkora2\">"
    "<frame name=\"main\" window=\"main_window\"/>"
    "<frame name=\"\" window=\"skipped\"/>"
    "<frame name=\"mini\" window=\"mini_window\"/>"
    "<remote name=\"remote\" window=\"remote_window\"/>"
    "</property>\n";

class InterfaceEnumeratorTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.Ready()); }
  std::string InFolder(const std::string& name) const {
    return fixture_.InterfaceFolder() + "/" + name;
  }
  std::vector<std::string> Names(InterfaceEnumerator& list) {
    std::vector<uint32_t> ids;
    list.GetIds(&ids);
    std::vector<std::string> names;
    for (uint32_t id : ids) {
      InterfaceRecord record;
      EXPECT_TRUE(list.FindById(id, &record));
      names.push_back(N(record.uniqueName));
    }
    return names;
  }
  PackageFixture fixture_;
};

TEST_F(InterfaceEnumeratorTest, ScanFindsZipAndFolderPackagesAndIndexesTheirInterfaces) {
  const std::string zip = PackageFixture::MakeZip(
      InFolder("classic.zip"),
      {{"index.mml",
        IndexText({{"ClassicInterface", "author=\"Someone\" MML_version=\"3\"", kFrames},
                   {"tooshort", "", ""}})}});
  const std::string folder = PackageFixture::MakeFolder(
      InFolder("modern"), {{"index.mml", IndexText({{"ModernInterface1", "", ""}})}});
  PackageFixture::MakeFolder(InFolder("not_a_package"), {{"readme.txt", "x"}});
  PackageFixture::MakeFolder(fixture_.InterfaceFolder(), {{"notes.txt", "not a package"}});
  InterfaceEnumerator list(fixture_.Services(), 100);
  ASSERT_TRUE(list.Scan());
  const std::string log = fixture_.TakeLog();
  EXPECT_NE(log.find("2:2 Interface(s) found\n"), std::string::npos) << log;
  EXPECT_NE(log.find("6:warning: Interface unique_name \"tooshort\" is not suitable (<= 12 "
                     "chars)!  This interface was not added.\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(Names(list), (std::vector<std::string>{"ClassicInterface", "ModernInterface1"}));

  // Identifiers count up per definition read, refused ones included.
  InterfaceRecord record;
  ASSERT_TRUE(list.FindByName(u"classicinterface", &record));
  EXPECT_EQ(record.identifier, 100u);
  EXPECT_EQ(N(record.path), zip);
  EXPECT_EQ(N(record.author), "Someone");
  EXPECT_EQ(record.mmlVersion, 3u);
  // Empty fields take the language's defaults.
  EXPECT_EQ(N(record.cosmeticName), "<default_interface/cosmetic_name>");
  EXPECT_EQ(N(record.version), "<default_interface/version>");
  // Frames and remotes: last first, those without a name or window left out.
  ASSERT_EQ(record.frames.size(), 2u);
  EXPECT_EQ(N(record.frames[0].name), "mini");
  EXPECT_EQ(N(record.frames[1].window), "main_window");
  ASSERT_EQ(record.remotes.size(), 1u);
  EXPECT_EQ(N(record.remotes[0].window), "remote_window");
  for (int32_t word : record.time)
    EXPECT_EQ(word, 0);
  ASSERT_TRUE(list.FindById(102, &record));
  EXPECT_EQ(N(record.path), folder);
  EXPECT_FALSE(list.FindById(101, &record));
  EXPECT_FALSE(list.FindByName(u"", &record));

  // The default interface folder was stored as the preference.
  RefPtr<MPreferenceStore> prefs = fixture_.Services().guiPreferences();
  ASSERT_TRUE(prefs);
  TString stored;
  ASSERT_GE(prefs->GetString(u"interface_path", &stored), 0);
  EXPECT_EQ(N(stored), fixture_.InterfaceFolder());

  // The zip's description counts the refused interface too.
  std::shared_ptr<PackageDescription> description =
      list.Catalogue().Describe(WideFromNarrow(zip.c_str()), false);
  ASSERT_NE(description, nullptr);
  EXPECT_TRUE(description->counted);
  EXPECT_EQ(description->interfaceCount, 2u);
  ASSERT_EQ(description->interfaces.size(), 2u);
  EXPECT_EQ(N(description->interfaces[1].uniqueName), "tooshort");
}

TEST_F(InterfaceEnumeratorTest, ScanListsEveryPackageExtensionTheHandOverInstalls) {
  // Written in reverse, found in the order of the extension list.
  const char* const extensions[] = {"VelkoraInterface", "vif", "package", "VGF", "zip", "daf"};
  for (const char* extension : extensions) {
    PackageFixture::MakeZip(
        InFolder(std::string("skin.") + extension),
        {{"index.mml", IndexText({{std::string("interface_of_") + extension, "", ""}})}});
  }
  InterfaceEnumerator list(fixture_.Services(), 1);
  ASSERT_TRUE(list.Scan());
  EXPECT_EQ(Names(list),
            (std::vector<std::string>{"interface_of_daf", "interface_of_zip", "interface_of_VGF",
                                      "interface_of_package", "interface_of_vif",
                                      "interface_of_VelkoraInterface"}));
}

TEST_F(InterfaceEnumeratorTest, UniqueNamesNeedThirteenCharactersAndMustBeUnique) {
  PackageFixture::MakeZip(InFolder("names.zip"),
                          {{"index.mml", IndexText({{"twelve_chars", "", ""},
                                                    {"thirteen_char", "", ""},
                                                    {"THIRTEEN_CHAR", "author=\"second\"", ""}})}});
  InterfaceEnumerator list(fixture_.Services(), 1);
  ASSERT_TRUE(list.Scan());
  EXPECT_EQ(Names(list), (std::vector<std::string>{"thirteen_char"}));
  const std::string log = fixture_.TakeLog();
  EXPECT_NE(log.find("\"twelve_chars\" is not suitable"), std::string::npos) << log;
  EXPECT_NE(log.find("Interface unique_name \"THIRTEEN_CHAR\" is not unique!  This interface was "
                     "not added.\n"),
            std::string::npos)
      << log;
}

TEST_F(InterfaceEnumeratorTest, BadPackagesAreLoggedAndTheScanGoesOn) {
  struct Case {
    std::string name;
    std::string expected;
  };
  const std::string missing = PackageFixture::MakeZip(InFolder("noindex.zip"), {{"a.txt", "x"}});
  PackageFixture::MakeFolder(fixture_.InterfaceFolder(), {{"broken.zip", "not a zip at all"}});
  PackageFixture::MakeZip(InFolder("bad.zip"), {{"index.mml", "<mml><unclosed></mml>"}});
  InterfaceEnumerator list(fixture_.Services(), 1);
  EXPECT_FALSE(list.Scan());
  const std::string log = fixture_.TakeLog();
  const Case cases[] = {
      {"noindex.zip", "DUV Parse error\t\n index.mml not found in package!\n"},
      {"broken.zip", "invalid package format\n"},
      {"bad.zip", "DUV Parse error\t\n"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(log.find("6:warning: failed to add interface from " + InFolder(c.name) + " -- " +
                       c.expected),
              std::string::npos)
        << c.name << "\n"
        << log;
  }
  EXPECT_NE(log.find("7:Error: - no interfaces found\n"), std::string::npos) << log;
  EXPECT_EQ(list.LoadPackage(WideFromNarrow(InFolder("gone.zip").c_str()), nullptr), 0u);
  EXPECT_NE(fixture_.TakeLog().find("gone.zip -- package does not exist\n"), std::string::npos);
  (void)missing;
}

TEST_F(InterfaceEnumeratorTest, InstallAddsPackagesAndFoldersAndTellsTheUserInterface) {
  const std::string single =
      PackageFixture::MakeZip(fixture_.Elsewhere() / "single.package",
                              {{"index.mml", IndexText({{"SinglePackage1", "", ""}})}});
  const std::string batch = fixture_.Elsewhere() / "batch";
  std::filesystem::create_directories(batch);
  PackageFixture::MakeZip(batch + "/one.zip",
                          {{"index.mml", IndexText({{"BatchZipOne123", "", ""}})}});
  PackageFixture::MakeFolder(batch + "/two",
                             {{"index.mml", IndexText({{"BatchFolderTwo", "", ""}})}});
  PackageFixture::MakeFolder(batch, {{"readme.txt", "not a package"}});
  InterfaceEnumerator list(fixture_.Services(), 1);
  EXPECT_EQ(list.InstallPackage(WideFromNarrow(single.c_str())), 1u);
  EXPECT_EQ(fixture_.Installs(), 1);
  EXPECT_EQ(list.InstallPackage(WideFromNarrow(batch.c_str())), 2u);
  EXPECT_EQ(fixture_.Installs(), 2);
  EXPECT_EQ(list.InstallPackage(TString()), 0u);
  EXPECT_EQ(fixture_.Installs(), 3);
  EXPECT_EQ(Names(list),
            (std::vector<std::string>{"SinglePackage1", "BatchZipOne123", "BatchFolderTwo"}));
  const std::string empty = fixture_.Elsewhere() / "empty";
  std::filesystem::create_directories(empty);
  fixture_.TakeLog();
  EXPECT_EQ(list.InstallPackage(WideFromNarrow(empty.c_str())), 0u);
  EXPECT_EQ(fixture_.TakeLog(), "6:warning: failed to add interface from " + empty + " -- \n");
}

TEST_F(InterfaceEnumeratorTest, APackageReadAgainReplacesItselfOnlyWhenItChanged) {
  const std::string path = PackageFixture::MakeZip(
      fixture_.Elsewhere() / "update.zip",
      {{"index.mml", IndexText({{"UpdatingSkin01", "version=\"1\"", ""}})}});
  PackageFixture::SetAge(path, -100);
  InterfaceEnumerator list(fixture_.Services(), 1);
  const TString wide = WideFromNarrow(path.c_str());
  ASSERT_EQ(list.InstallPackage(wide), 1u);
  // Unchanged: its own duplicate, refused.
  EXPECT_EQ(list.InstallPackage(wide), 0u);
  EXPECT_NE(fixture_.TakeLog().find("is not unique!  This interface was not added."),
            std::string::npos);
  // Rewritten: replaces the record it made before, under a new identifier.
  PackageFixture::MakeZip(path,
                          {{"index.mml", IndexText({{"UpdatingSkin01", "version=\"2\"", ""}})}});
  ASSERT_EQ(list.InstallPackage(wide), 1u);
  EXPECT_NE(fixture_.TakeLog().find("is not unique!  Replacing older interface."),
            std::string::npos);
  InterfaceRecord record;
  ASSERT_TRUE(list.FindByName(u"UpdatingSkin01", &record));
  EXPECT_EQ(N(record.version), "2");
  EXPECT_EQ(record.identifier, 3u);
  EXPECT_EQ(list.Count(), 1u);

  // Another package of the same name: the later file wins, an older one is refused.
  const std::string older = PackageFixture::MakeZip(
      fixture_.Elsewhere() / "older.zip",
      {{"index.mml", IndexText({{"UpdatingSkin01", "version=\"0\"", ""}})}});
  PackageFixture::SetAge(older, -1000);
  EXPECT_EQ(list.InstallPackage(WideFromNarrow(older.c_str())), 0u);
  const std::string newer = PackageFixture::MakeZip(
      fixture_.Elsewhere() / "newer.zip",
      {{"index.mml", IndexText({{"UpdatingSkin01", "version=\"9\"", ""}})}});
  PackageFixture::SetAge(newer, 1000);
  EXPECT_EQ(list.InstallPackage(WideFromNarrow(newer.c_str())), 1u);
  ASSERT_TRUE(list.FindByName(u"UpdatingSkin01", &record));
  EXPECT_EQ(N(record.version), "9");
  EXPECT_EQ(list.Count(), 1u);
}

TEST_F(InterfaceEnumeratorTest, MembersReachingOutsideThePackageAreNeverRead) {
  // A hostile archive: its unsafe members are not part of the package, and reading it writes
  // nothing anywhere.
  const std::string path = PackageFixture::MakeZip(
      InFolder("hostile.zip"), {{"index.mml", IndexText({{"HostileButValid", "", ""}})},
                                {"../escaped.mml", IndexText({{"EscapedInterface", "", ""}})},
                                {"/absolute.mml", "x"}});
  ASSERT_FALSE(path.empty());
  const auto before = std::filesystem::last_write_time(fixture_.ProgramFolder());
  InterfaceEnumerator list(fixture_.Services(), 1);
  ASSERT_TRUE(list.Scan());
  EXPECT_EQ(Names(list), (std::vector<std::string>{"HostileButValid"}));
  EXPECT_FALSE(std::filesystem::exists(fixture_.ProgramFolder() + "/escaped.mml"));
  EXPECT_EQ(std::filesystem::last_write_time(fixture_.ProgramFolder()), before);
  RefPtr<MResourceFile> archive = fixture_.Services().newArchive();
  ASSERT_TRUE(archive->OpenFile(WideFromNarrow(path.c_str()).c_str()));
  NarrowString name;
  std::vector<std::string> members;
  for (uint32_t i = 0; archive->GetMemberName(i, &name) == 0; ++i)
    members.push_back(name.c_str());
  EXPECT_EQ(members, (std::vector<std::string>{"index.mml"}));
}

TEST_F(InterfaceEnumeratorTest, RemovalsByIdNameAndFolder) {
  PackageFixture::MakeZip(
      InFolder("a.zip"),
      {{"index.mml", IndexText({{"FirstInterface", "", ""}, {"SecondInterface", "", ""}})}});
  PackageFixture::MakeFolder(InFolder("b"),
                             {{"index.mml", IndexText({{"ThirdInterface", "", ""}})}});
  const std::string outside =
      PackageFixture::MakeZip(fixture_.Elsewhere() / "c.package",
                              {{"index.mml", IndexText({{"FourthInterface", "", ""}})}});
  InterfaceEnumerator list(fixture_.Services(), 1);
  ASSERT_TRUE(list.Scan());
  ASSERT_EQ(list.InstallPackage(WideFromNarrow(outside.c_str())), 1u);

  InterfaceRecord first;
  ASSERT_TRUE(list.FindByName(u"FirstInterface", &first));
  EXPECT_TRUE(list.RemoveById(first.identifier, true));
  std::shared_ptr<PackageDescription> description = list.Catalogue().Describe(first.path, false);
  ASSERT_NE(description, nullptr);
  ASSERT_EQ(description->interfaces.size(), 1u);
  EXPECT_EQ(N(description->interfaces[0].uniqueName), "SecondInterface");
  EXPECT_FALSE(list.RemoveById(first.identifier, false));
  // The installed package was read without a description: only the record goes.
  EXPECT_FALSE(list.RemoveByName(u"fourthinterface", true));
  EXPECT_FALSE(list.FindByName(u"FourthInterface", &first));
  EXPECT_TRUE(list.RemoveByName(u"SecondInterface", false));

  // Folder packages go with the folder too.
  EXPECT_EQ(list.RemoveInterfacesIn(WideFromNarrow(fixture_.InterfaceFolder().c_str())), 1u);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(list.Catalogue().Known().empty());
}

TEST_F(InterfaceEnumeratorTest, StoredDescriptionsListPackagesWithoutOpeningThem) {
  const std::string path = PackageFixture::MakeZip(
      InFolder("described.zip"),
      {{"index.mml", IndexText({{"DescribedInterface", "author=\"Author\"", kFrames},
                                {"AnotherDescribed", "", ""}})}});
  InterfaceEnumerator first(fixture_.Services(), 1);
  ASSERT_TRUE(first.Scan());
  PackageDescription description = *first.Catalogue().Describe(WideFromNarrow(path.c_str()), false);
  std::filesystem::remove(path);
  // A count beyond the stored interfaces: those indexes are skipped; a missing field takes the
  // stored-description default.
  description.interfaceCount = 5;
  description.interfaces[1].author = TString();
  InterfaceEnumerator second(fixture_.Services(), 50);
  EXPECT_EQ(second.LoadDescription(WideFromNarrow(path.c_str()), description), 2u);
  InterfaceRecord record;
  ASSERT_TRUE(second.FindByName(u"DescribedInterface", &record));
  EXPECT_EQ(record.identifier, 50u);
  EXPECT_EQ(N(record.author), "Author");
  EXPECT_EQ(record.frames.size(), 2u);
  ASSERT_TRUE(second.FindByName(u"AnotherDescribed", &record));
  EXPECT_EQ(N(record.author), "<default_skin/author>");
  // An interface already known wins, silently.
  EXPECT_EQ(second.LoadDescription(WideFromNarrow(path.c_str()), description), 0u);
  EXPECT_EQ(second.Count(), 2u);
}

TEST_F(InterfaceEnumeratorTest, AScanAgainReadsKnownPackagesTwiceAndKeepsTheFirstRecords) {
  PackageFixture::MakeZip(InFolder("again.zip"),
                          {{"index.mml", IndexText({{"ScannedTwice01", "", ""}})}});
  InterfaceEnumerator list(fixture_.Services(), 10);
  ASSERT_TRUE(list.Scan());
  fixture_.TakeLog();
  // From the description (an existing record wins) and from the folder (not newer: refused);
  // both readings take identifiers.
  ASSERT_TRUE(list.Scan());
  EXPECT_NE(fixture_.TakeLog().find("is not unique!  This interface was not added."),
            std::string::npos);
  InterfaceRecord record;
  ASSERT_TRUE(list.FindByName(u"ScannedTwice01", &record));
  EXPECT_EQ(record.identifier, 10u);
  EXPECT_EQ(list.Count(), 1u);
  const std::string next =
      PackageFixture::MakeZip(fixture_.Elsewhere() / "next.package",
                              {{"index.mml", IndexText({{"InstalledAfter", "", ""}})}});
  ASSERT_EQ(list.InstallPackage(WideFromNarrow(next.c_str())), 1u);
  ASSERT_TRUE(list.FindByName(u"InstalledAfter", &record));
  EXPECT_EQ(record.identifier, 13u);
}

TEST(InterfacePackagePathTest, FoldersWithAnIndexAndKnownExtensions) {
  TempFolder folder;
  PackageFixture::MakeFolder(folder / "with", {{"index.mml", "x"}});
  PackageFixture::MakeFolder(folder / "without", {{"other.mml", "x"}});
  struct Case {
    std::string path;
    bool package;
  };
  const Case cases[] = {
      {folder / "with", true},
      {folder / "without", false},
      {"/x/skin.package", true},
      {"/x/skin.DAF", true},
      {"/x/skin.vif", true},
      {"/x/skin.VelkoraInterface", true},
      {"/x/skin.zip", true},
      {"/x/skin.Vgf", true},
      {"/x/skin.package.txt", false},
      {"/x/folder.daf/skin", false},
      {"/x/skin", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsInterfacePackagePath(WideFromNarrow(c.path.c_str())), c.package) << c.path;
  }
}

}  // namespace
}  // namespace vk2::test
