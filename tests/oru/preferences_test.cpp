// Preferences: typed values in sections, kept across processes, saved atomically.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "component/module/error_entry.h"
#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/error_tables.h"
#include "interfaces/runtime/preference_store.h"
#include "oru/services/prefs/preference_tree.h"
#include "tests/oru/preference_helpers.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session_.Bound()); }
  bool IsPrefsEntry(int32_t code, uint32_t entry) {
    auto errors = CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
    return IsErrorEntry(errors.Get(), code, entry, kPreferenceSystemTable);
  }

  Sandbox sandbox_;
  RuntimeSession session_;
};

TEST_F(PreferencesTest, StoreIfAbsentKeepsAnExistingValue) {
  auto store = NewStore(u"velkora/gui");
  ASSERT_TRUE(store);
  EXPECT_EQ(store->PrepString(u"current_language", u"english"), 0);
  int32_t r = store->PrepString(u"current_language", u"german");
  EXPECT_TRUE(IsPrefsEntry(r, kPrefsValueExists));
  TString value;
  ASSERT_EQ(store->GetString(u"current_language", &value), 0);
  EXPECT_STREQ(Utf8(value).c_str(), "english");

  EXPECT_EQ(store->PrepBool(u"append", false), 0);
  EXPECT_LT(store->PrepBool(u"append", true), 0);
  bool flag = true;
  ASSERT_EQ(store->GetBool(u"append", &flag), 0);
  EXPECT_FALSE(flag);
}

TEST_F(PreferencesTest, GetLeavesTheOutValueAloneWhenAbsentOrOfAnotherType) {
  auto store = NewStore(u"player");
  ASSERT_EQ(store->SetString(u"name", u"not a number"), 0);
  TString text = u"untouched";
  int32_t number = 17;
  double real = 2.5;
  bool flag = true;
  uint32_t count = 99;
  int32_t r = store->GetString(u"missing", &text);
  EXPECT_TRUE(IsPrefsEntry(r, kPrefsValueMissing));
  EXPECT_LT(store->GetInt(u"missing", &number), 0);
  EXPECT_LT(store->GetInt(u"name", &number), 0);
  EXPECT_LT(store->GetDouble(u"name", &real), 0);
  EXPECT_LT(store->GetBool(u"name", &flag), 0);
  EXPECT_LT(store->GetDoubleList(u"name", &real, 1, &count), 0);
  EXPECT_STREQ(Utf8(text).c_str(), "untouched");
  EXPECT_EQ(number, 17);
  EXPECT_EQ(real, 2.5);
  EXPECT_TRUE(flag);
  EXPECT_EQ(count, 99u);
}

TEST_F(PreferencesTest, IntRangesClampKeptAndLaterValues) {
  auto store = NewStore(u"eq");
  EXPECT_EQ(store->PrepInt(u"bands", 50, 0, 31), 0);
  int32_t v = 0;
  ASSERT_EQ(store->GetInt(u"bands", &v), 0);
  EXPECT_EQ(v, 31);
  ASSERT_EQ(store->SetInt(u"bands", -4), 0);
  ASSERT_EQ(store->GetInt(u"bands", &v), 0);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(store->SetInt(u"preamp", 500), 0);
  EXPECT_LT(store->PrepInt(u"preamp", 0, -20, 20), 0) << "a kept value is no new value";
  ASSERT_EQ(store->GetInt(u"preamp", &v), 0);
  EXPECT_EQ(v, 20) << "but the range applies to it";
  EXPECT_LT(store->PrepInt(u"preamp", 0, 20, -20), 0);  // bounds in either order
  ASSERT_EQ(store->SetInt(u"preamp", -100), 0);
  ASSERT_EQ(store->GetInt(u"preamp", &v), 0);
  EXPECT_EQ(v, -20);
}

TEST_F(PreferencesTest, TypedValuesRoundTrip) {
  auto store = NewStore(u"types");
  const double gains[] = {1.0, -0.25, 1e-300, 12345.678};
  const Guid ids[] = {kRuntimeRootClass, kServiceClass};
  ASSERT_EQ(store->SetUnsigned(u"u", 4294967295u), 0);
  ASSERT_EQ(store->SetDouble(u"d", 0.1), 0);
  ASSERT_EQ(store->SetDoubleList(u"gains", gains, 4), 0);
  ASSERT_EQ(store->SetGuidList(u"ids", ids, 2), 0);
  ASSERT_EQ(store->SetString(u"s", u"caf\u00e9 \u266b"), 0);

  uint32_t u = 0;
  double d = 0;
  double readGains[8] = {};
  Guid readIds[1];
  uint32_t count = 0;
  TString s;
  ASSERT_EQ(store->GetUnsigned(u"u", &u), 0);
  EXPECT_EQ(u, 4294967295u);
  ASSERT_EQ(store->GetDouble(u"d", &d), 0);
  EXPECT_EQ(d, 0.1);
  ASSERT_EQ(store->GetDoubleList(u"gains", readGains, 8, &count), 0);
  ASSERT_EQ(count, 4u);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(readGains[i], gains[i]);
  // A short array gets what fits and the full count.
  ASSERT_EQ(store->GetGuidList(u"ids", readIds, 1, &count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(readIds[0], kRuntimeRootClass);
  ASSERT_EQ(store->GetString(u"s", &s), 0);
  EXPECT_EQ(s.view(), std::u16string_view(u"caf\u00e9 \u266b"));
}

TEST_F(PreferencesTest, NamesAndSectionsIgnoreCase) {
  auto writer = NewStore(u"Velkora/PlaylistServer");
  ASSERT_EQ(writer->SetBool(u"SavePlaylist", true), 0);
  auto reader = NewStore();
  ASSERT_EQ(reader->OpenSection(u"velkora/playlistserver", 0), 0);
  bool flag = false;
  ASSERT_EQ(reader->GetBool(u"saveplaylist", &flag), 0);
  EXPECT_TRUE(flag);
  int32_t r = reader->OpenSection(u"velkora/nothing", 0);
  EXPECT_TRUE(IsPrefsEntry(r, kPrefsSectionMissing));
  TString name;
  ASSERT_EQ(reader->GetValueName(0, &name), 0) << "a failed open leaves the cursor";
  EXPECT_STREQ(Utf8(name).c_str(), "SavePlaylist");
}

TEST_F(PreferencesTest, SetBaseMakesRelativePathsStartAtTheBase) {
  auto parent = NewStore(u"velkora/gui");
  auto child = NewStore();
  ASSERT_EQ(child->SetBase(parent.Get()), 0);
  ASSERT_EQ(child->OpenSection(u"PlayerHelper", 1), 0);
  ASSERT_EQ(child->SetString(u"DisplayFormat", u"%t"), 0);
  auto check = NewStore();
  ASSERT_EQ(check->OpenSection(u"velkora/gui/playerhelper", 0), 0);
  TString v;
  ASSERT_EQ(check->GetString(u"displayformat", &v), 0);
  // A leading '/' starts at the top even with a base.
  ASSERT_EQ(child->OpenSection(u"/velkora", 0), 0);
  ASSERT_EQ(child->GetSectionName(0, &v), 0);
  EXPECT_STREQ(Utf8(v).c_str(), "gui");
}

TEST_F(PreferencesTest, ValuesSurviveInANewProcess) {
  ASSERT_TRUE(InChildProcess([] {
    auto store = NewStore(u"velkora/gui");
    const Guid ids[] = {kServiceClass};
    return store && store->SetString(u"current_language", u"german") == 0 &&
           store->PrepInt(u"volume", 80, 0, 100) == 0 && store->SetGuidList(u"ids", ids, 1) == 0 &&
           store->Save() == 0;
  }));
  // Written at the last detach too, without an explicit save.
  ASSERT_TRUE(InChildProcess([] {
    auto store = NewStore(u"velkora/player");
    return store && store->SetBool(u"append", true) == 0;
  }));
  // This process's runtime read the file before the children wrote it: start a new one.
  UnloadRuntime();
  ASSERT_TRUE(LoadRuntime());
  auto store = NewStore();
  ASSERT_EQ(store->OpenSection(u"velkora/gui", 0), 0);
  TString language;
  int32_t volume = 0;
  Guid id;
  uint32_t count = 0;
  ASSERT_EQ(store->GetString(u"current_language", &language), 0);
  EXPECT_STREQ(Utf8(language).c_str(), "german");
  ASSERT_EQ(store->GetInt(u"volume", &volume), 0);
  EXPECT_EQ(volume, 80);
  EXPECT_EQ(store->SetInt(u"volume", 1000), 0);
  ASSERT_EQ(store->GetInt(u"volume", &volume), 0);
  EXPECT_EQ(volume, 100) << "the range was saved with the value";
  ASSERT_EQ(store->GetGuidList(u"ids", &id, 1, &count), 0);
  EXPECT_EQ(id, kServiceClass);
  bool append = false;
  ASSERT_EQ(store->OpenSection(u"/velkora/player", 0), 0);
  ASSERT_EQ(store->GetBool(u"append", &append), 0);
  EXPECT_TRUE(append);
}

TEST_F(PreferencesTest, AWriterKilledWhileSavingLeavesAReadableFile) {
  auto store = NewStore(u"big");
  ASSERT_EQ(store->SetString(u"marker", u"old"), 0);
  ASSERT_EQ(store->Save(), 0);
  for (int round = 0; round < 5; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
      auto big = NewStore(u"big");
      std::u16string text(20000, u'x');
      for (int i = 0; i < 200; ++i) {
        std::u16string name = u"value" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                              static_cast<char16_t>(u'a' + i / 26);
        big->SetString(name.c_str(), text.c_str());
      }
      big->SetString(u"marker", u"new");
      (void)!::write(ready[1], "r", 1);
      for (;;)
        big->Save();
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::usleep(static_cast<useconds_t>(2000 + round * 3000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    oru::PrefSection root;
    std::string error;
    ASSERT_TRUE(oru::ParsePreferencesText(ReadTextFile(sandbox_.PrefsPath()), &root, &error)) << error;
    oru::PrefSection* big = root.FindChild("big");
    ASSERT_NE(big, nullptr);
    ASSERT_NE(big->FindValue("marker"), nullptr);
  }
  // The killed writers' temporary files are cleared by the next save.
  ASSERT_EQ(store->Save(), 0);
  std::string listing;
  RunProgram({"/bin/sh", "-c", "ls " + sandbox_.Root() + "/config/velkora2 >&2"}, &listing);
  EXPECT_EQ(listing.find(".tmp."), std::string::npos) << listing;
}

TEST_F(PreferencesTest, ADamagedFileIsKeptAsideAndTheStoreStartsEmpty) {
  UnloadRuntime();
  sandbox_.MakeFolder("config/velkora2");
  sandbox_.WriteFile("config/velkora2/prefs.xml", "<preferences><section name=\"x\">");
  ASSERT_TRUE(LoadRuntime());
  auto store = NewStore();
  EXPECT_LT(store->OpenSection(u"x", 0), 0);
  EXPECT_TRUE(FileExists(sandbox_.PrefsPath() + ".bad"));
  ASSERT_EQ(store->OpenSection(u"x", 1), 0);
  ASSERT_EQ(store->Save(), 0);
  EXPECT_EQ(ReadTextFile(sandbox_.PrefsPath() + ".bad"), "<preferences><section name=\"x\">");
}

TEST(PreferenceFileTest, RejectsWhatIsNotAPreferencesFile) {
  const char* const bad[] = {"", "<preferences>", "<other/>", "<preferences><section name=\"a\">",
                             "\xff\xfe<"};
  for (const char* text : bad) {
    oru::PrefSection root;
    std::string error;
    EXPECT_FALSE(oru::ParsePreferencesText(text, &root, &error)) << text;
    EXPECT_FALSE(error.empty());
  }
  oru::PrefSection root;
  std::string error;
  // Unknown types and nameless entries are skipped, not fatal.
  ASSERT_TRUE(oru::ParsePreferencesText(
      "<preferences><value name=\"a\" type=\"blob\">1</value><value type=\"int\">2</value>"
      "<value name=\"b\" type=\"int\" min=\"5\" max=\"1\">3</value></preferences>",
      &root, &error));
  ASSERT_EQ(root.values.size(), 1u);
  EXPECT_FALSE(root.values[0].hasRange) << "an inverted range is not a range";
}

}  // namespace
}  // namespace vk2::test
