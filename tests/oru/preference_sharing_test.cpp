// Preferences shared by processes: each save keeps what other processes saved meanwhile, and a
// file that cannot be read is kept, never saved over.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "oru/services/prefs/preference_tree.h"
#include "tests/oru/preference_helpers.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

// One-way signal between processes.
class Gate {
 public:
  Gate() { ok_ = ::pipe(fds_) == 0; }
  ~Gate() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  bool ok() const { return ok_; }
  void Open() { (void)!::write(fds_[1], "g", 1); }
  bool Pass() {
    char c;
    return ::read(fds_[0], &c, 1) == 1;
  }

 private:
  int fds_[2] = {-1, -1};
  bool ok_ = false;
};

std::u16string Numbered(const char16_t* prefix, int n) {
  std::u16string name = prefix;
  for (char c : std::to_string(n))
    name += static_cast<char16_t>(c);
  return name;
}

class PreferenceSharingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Bound());
    sandbox_.MakeFolder("config/velkora2");
  }
  std::string Relative(const std::string& name) const { return "config/velkora2/" + name; }

  // The value `name` of section `section` in the saved file, or "<none>".
  std::string Saved(const char* section, const char* name) {
    oru::PrefSection root;
    std::string error;
    if (!oru::ParsePreferencesText(ReadTextFile(sandbox_.PrefsPath()), &root, &error)) return error;
    oru::PrefSection* at = root.FindChild(section);
    const oru::PrefValue* value = at ? at->FindValue(name) : nullptr;
    return value ? value->text : "<none>";
  }

  std::string ConsoleText() {
    auto console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
    uint32_t newest = 0, count = 0;
    std::string all;
    if (!console || console->GetNewest(&newest, &count) != 0) return all;
    for (uint32_t i = newest + 1 - count; i <= newest; ++i) {
      TString text;
      if (console->GetEntry(&text, i, nullptr) == 0) all += std::string(Utf8(text).c_str()) + "\n";
    }
    return all;
  }

  Sandbox sandbox_;
  RuntimeSession session_;
};

TEST_F(PreferenceSharingTest, ASaveKeepsWhatAnotherProcessSavedSinceThisOneRead) {
  sandbox_.WriteFile(Relative("prefs.xml"),
                     "<preferences version=\"1\"><section name=\"shared\">"
                     "<value name=\"first_drops\" type=\"string\">x</value>"
                     "<value name=\"nobody_touches\" type=\"string\">y</value>"
                     "<value name=\"both_set\" type=\"int\">0</value>"
                     "</section></preferences>");
  Gate loaded[2], go[2];
  ASSERT_TRUE(loaded[0].ok() && loaded[1].ok() && go[0].ok() && go[1].ok());
  // Both read the file, then the first saves, then the second.
  pid_t first = StartChildProcess([&] {
    auto store = NewStore(u"shared");
    loaded[0].Open();
    if (!store || !go[0].Pass()) return false;
    for (int i = 0; i < 10; ++i)
      store->SetInt(Numbered(u"first_", i).c_str(), i);
    auto own = NewStore(u"shared/first_only");
    return own && own->SetString(u"mark", u"1") == 0 && store->RemoveValue(u"first_drops") == 0 &&
           store->SetInt(u"both_set", 1) == 0 && store->Save() == 0;
  });
  pid_t second = StartChildProcess([&] {
    auto store = NewStore(u"shared");
    loaded[1].Open();
    if (!store || !go[1].Pass()) return false;
    for (int i = 0; i < 10; ++i)
      store->SetInt(Numbered(u"second_", i).c_str(), i);
    if (store->SetInt(u"both_set", 2) != 0 || store->Save() != 0) return false;
    // After the save this process sees the other's values too.
    int32_t seen = -1;
    TString none;
    return store->GetInt(u"first_7", &seen) == 0 && seen == 7 &&
           store->GetString(u"first_drops", &none) < 0;
  });
  ASSERT_TRUE(loaded[0].Pass() && loaded[1].Pass());
  go[0].Open();
  ASSERT_TRUE(ChildSucceeded(first));
  go[1].Open();
  ASSERT_TRUE(ChildSucceeded(second));

  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Saved("shared", ("first_" + std::to_string(i)).c_str()), std::to_string(i));
    EXPECT_EQ(Saved("shared", ("second_" + std::to_string(i)).c_str()), std::to_string(i));
  }
  EXPECT_EQ(Saved("shared", "first_drops"), "<none>") << "a removal is a change too";
  EXPECT_EQ(Saved("shared", "nobody_touches"), "y");
  EXPECT_EQ(Saved("shared", "both_set"), "2") << "the later save of one value wins";
  oru::PrefSection root;
  std::string error;
  ASSERT_TRUE(oru::ParsePreferencesText(ReadTextFile(sandbox_.PrefsPath()), &root, &error));
  oru::PrefSection* own = root.FindChild("shared")->FindChild("first_only");
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own->FindValue("mark"), nullptr);
}

TEST_F(PreferenceSharingTest, ProcessesSavingAtOnceLoseNoValue) {
  constexpr int kProcesses = 3;
  constexpr int kRounds = 12;
  Gate start;
  ASSERT_TRUE(start.ok());
  pid_t children[kProcesses];
  for (int p = 0; p < kProcesses; ++p) {
    children[p] = StartChildProcess([&, p] {
      auto store = NewStore(u"race");
      if (!store || !start.Pass()) return false;
      std::u16string prefix = Numbered(u"p", p) + u"_";
      for (int round = 0; round < kRounds; ++round) {
        if (store->SetInt(Numbered(prefix.c_str(), round).c_str(), round) != 0) return false;
        if (store->Save() != 0) return false;
      }
      return true;
    });
  }
  for (int p = 0; p < kProcesses; ++p)
    start.Open();
  for (pid_t child : children)
    EXPECT_TRUE(ChildSucceeded(child));
  for (int p = 0; p < kProcesses; ++p) {
    for (int round = 0; round < kRounds; ++round) {
      std::string name =
          std::string("p").append(std::to_string(p)).append("_").append(std::to_string(round));
      EXPECT_EQ(Saved("race", name.c_str()), std::to_string(round)) << name;
    }
  }
}

// A file the store cannot read is moved aside with a console line, and the save that follows
// keeps every value this process knows.
TEST_F(PreferenceSharingTest, AFileThatCannotBeReadIsKeptAside) {
  struct Case {
    const char* what;
    std::function<void(const Sandbox&)> beforeLoad;
    std::function<void(const Sandbox&)> beforeSave;
    const char* aside;          // the name it is kept under
    const char* asideContents;  // null: a folder
  };
  const char* const kGood =
      "<preferences><section name=\"s\"><value name=\"kept\" type=\"string\">k</value>"
      "</section></preferences>";
  const char* const kDamaged = "<preferences><section name=\"s\">";
  auto put = [](const char* name, const char* text) {
    return [=](const Sandbox& box) { box.WriteFile("config/velkora2/" + std::string(name), text); };
  };
  const Case cases[] = {
      {"a folder in the file's place",
       [](const Sandbox& box) {
         box.MakeFolder("config/velkora2/prefs.xml");
         box.WriteFile("config/velkora2/prefs.xml/inside", "i");
       },
       nullptr, "prefs.xml.bad", nullptr},
      {"damaged by another program after this process read it", put("prefs.xml", kGood),
       put("prefs.xml", kDamaged), "prefs.xml.bad", kDamaged},
      {"damaged, with a file kept aside earlier",
       [&](const Sandbox& box) {
         put("prefs.xml.bad", "earlier")(box);
         put("prefs.xml", kDamaged)(box);
       },
       nullptr, "prefs.xml.bad.1", kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UnloadRuntime();
    std::filesystem::remove_all(sandbox_.Root() + "/config/velkora2");
    sandbox_.MakeFolder("config/velkora2");
    c.beforeLoad(sandbox_);
    ASSERT_TRUE(LoadRuntime());
    auto store = NewStore(u"s");
    ASSERT_TRUE(store);
    if (c.beforeSave) c.beforeSave(sandbox_);
    ASSERT_EQ(store->SetString(u"mine", u"m"), 0);
    ASSERT_EQ(store->Save(), 0);

    const std::string aside = sandbox_.Root() + "/config/velkora2/" + c.aside;
    if (c.asideContents) {
      EXPECT_EQ(ReadTextFile(aside), c.asideContents);
    } else {
      EXPECT_EQ(ReadTextFile(aside + "/inside"), "i");
    }
    EXPECT_NE(ConsoleText().find("kept as " + aside), std::string::npos) << ConsoleText();
    EXPECT_EQ(Saved("s", "mine"), "m");
    if (c.beforeSave) {
      EXPECT_EQ(Saved("s", "kept"), "k") << "what this process read stays";
    }
  }
  EXPECT_EQ(ReadTextFile(sandbox_.PrefsPath() + ".bad"), "earlier");
}

TEST_F(PreferenceSharingTest, AFileThisUserMayNotReadIsKeptAside) {
  UnloadRuntime();
  const char* const kTheirs =
      "<preferences><section name=\"s\"><value name=\"a\" type=\"string\">1</value>"
      "</section></preferences>";
  sandbox_.WriteFile(Relative("prefs.xml"), kTheirs);
  ASSERT_EQ(::chmod(sandbox_.PrefsPath().c_str(), 0), 0);
  // The superuser reads any file: the child gives up its rights first.
  constexpr uid_t kNobody = 65534;
  const bool dropRights = ::geteuid() == 0;
  if (dropRights) {
    ASSERT_EQ(RunProgram({"/bin/chown", "-R", std::to_string(kNobody), sandbox_.Root()}), 0);
  }
  ASSERT_TRUE(InChildProcess([&] {
    if (dropRights && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) return false;
    if (::access(sandbox_.PrefsPath().c_str(), R_OK) == 0) return false;
    auto store = NewStore(u"s");
    return store && store->SetString(u"mine", u"m") == 0 && store->Save() == 0;
  }));
  ASSERT_TRUE(LoadRuntime());
  ASSERT_EQ(::chmod((sandbox_.PrefsPath() + ".bad").c_str(), 0600), 0);
  EXPECT_EQ(ReadTextFile(sandbox_.PrefsPath() + ".bad"), kTheirs);
  EXPECT_EQ(Saved("s", "mine"), "m");
}

TEST_F(PreferenceSharingTest, AFileThatCannotBeMovedAsideIsNotSavedOver) {
  UnloadRuntime();
  const char* const kDamaged = "<preferences><value name=\"a\"";
  sandbox_.WriteFile(Relative("prefs.xml"), kDamaged);
  // Every name for keeping it aside is taken.
  sandbox_.WriteFile(Relative("prefs.xml.bad"), "older");
  for (int n = 1; n < 100; ++n)
    sandbox_.WriteFile(Relative("prefs.xml.bad." + std::to_string(n)), "older");
  ASSERT_TRUE(LoadRuntime());
  auto store = NewStore(u"s");
  ASSERT_TRUE(store);
  ASSERT_EQ(store->SetString(u"mine", u"m"), 0);
  EXPECT_LT(store->Save(), 0);
  EXPECT_EQ(ReadTextFile(sandbox_.PrefsPath()), kDamaged);
  EXPECT_NE(ConsoleText().find("not saved over"), std::string::npos) << ConsoleText();
  // Once the user clears the names, the next save keeps the file aside and goes ahead.
  std::filesystem::remove(sandbox_.PrefsPath() + ".bad");
  ASSERT_EQ(store->Save(), 0);
  EXPECT_EQ(ReadTextFile(sandbox_.PrefsPath() + ".bad"), kDamaged);
  EXPECT_EQ(Saved("s", "mine"), "m");
}

}  // namespace
}  // namespace vk2::test
