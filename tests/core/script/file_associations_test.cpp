// File-type associations: the registry keys of the program identifier and of each extension in
// a temporary registry, and their reflection onto a temporary XDG desktop (the desktop entry and
// mimeapps.list), read back by xdg-mime.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry/registry_file.h"
#include "tests/core/script/support/script_case.h"
#include "tests/core/script/support/script_harness.h"
#include "tests/support/files.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

using registry::RootKey;

std::string ClassesValue(const std::string& key, const std::string& name) {
  std::string value = "<none>";
  registry::RegReadString(RootKey::kClassesRoot, key, name, &value);
  return value;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FileAssociationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HaveTool("xdg-mime")) << "xdg-mime (scripts/packages.d/core-script.txt)";
    ASSERT_TRUE(harness_.Start()) << harness_.Error();
  }
  std::string MimeApps() const { return harness_.Sandbox().LibDir() + "/../config/mimeapps.list"; }
  std::string XdgDefault(const std::string& type) {
    const std::string file = harness_.Files() / "xdg-mime.out";
    test::Run({"xdg-mime", "query", "default", type}, file);
    std::string out = ReadText(file);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
      out.pop_back();
    return out;
  }
  ScriptHarness harness_;
};

TEST_F(FileAssociationsTest, TheProgramIdentifierFollowsTheProgramsPath) {
  EXPECT_EQ(ClassesValue("Velkora2.File", ""), "Velkora 2 File");
  uint64_t flags = 0;
  EXPECT_TRUE(registry::RegReadNumber(RootKey::kClassesRoot, "Velkora2.File", "EditFlags", &flags));
  EXPECT_EQ(flags, 0x10000u);
  const std::string path = harness_.ProgramPath();
  EXPECT_EQ(ClassesValue("Velkora2.File\\DefaultIcon", ""), path + ",0");
  EXPECT_EQ(ClassesValue("Velkora2.File\\shell", ""), "Open");
  EXPECT_EQ(ClassesValue("Velkora2.File\\shell\\Open\\Command", ""), "\"" + path + "\" \"%1\"");
  const std::string entry = ReadText(harness_.DataHome() + "/applications/velkora2.desktop");
  EXPECT_NE(entry.find("Exec=" + path + " %F"), std::string::npos) << entry;
  EXPECT_NE(entry.find("audio/mpeg;"), std::string::npos) << entry;
}

TEST_F(FileAssociationsTest, AnExtensionWithoutAnOwnerIsMadeAndRemovedWhole) {
  const ScriptCase cases[] = {
      {"return (files.IsFileAssociationRegistered(\"mp3\"));", "0"},
      {"return (files.RegisterFileAssociation(\"mp3\"));", "registered"},
      {"return (files.IsFileAssociationRegistered(\"MP3\"));", "1"},
      // A call without an extension never writes a key ".".
      {"return (files.RegisterFileAssociation());",
       "!RegisterFileAssociation: Invalid Parameters. See Help()"},
      {"return (files.RegisterFileAssociation(\"\"));",
       "!RegisterFileAssociation: Invalid Parameters. See Help()"},
  };
  CheckCases(harness_, cases);
  EXPECT_EQ(ClassesValue(".mp3", ""), "velkora2.file");
  EXPECT_EQ(ClassesValue(".mp3", "Velkora2_Old"), "<none>");
  EXPECT_EQ(ClassesValue(".", ""), "<none>");
  EXPECT_EQ(XdgDefault("audio/mpeg"), "velkora2.desktop");
  const ScriptCase undo[] = {
      {"return (files.UnregisterFileAssociation(\"mp3\"));", "unregistered"},
      {"return (files.IsFileAssociationRegistered(\"mp3\"));", "0"},
  };
  CheckCases(harness_, undo);
  std::string gone;
  EXPECT_FALSE(registry::RegReadString(RootKey::kClassesRoot, ".mp3", "", &gone));
  EXPECT_EQ(ReadText(MimeApps()).find("audio/mpeg="), std::string::npos) << ReadText(MimeApps());
}

TEST_F(FileAssociationsTest, APreviousOwnerIsKeptAndGivenBack) {
  ASSERT_TRUE(registry::RegWriteString(RootKey::kClassesRoot, ".ogg", "", "OtherApp.Ogg"));
  ASSERT_TRUE(
      registry::RegWriteString(RootKey::kClassesRoot, ".ogg\\OpenWithProgids", "OtherApp.Ogg", ""));
  {
    std::ofstream list(MimeApps());
    list << "[Default Applications]\naudio/ogg=other.desktop;\n";
    std::filesystem::create_directories(harness_.DataHome() + "/applications");
    std::ofstream other(harness_.DataHome() + "/applications/other.desktop");
    other << "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %F\n"
             "MimeType=audio/ogg;\n";
  }
  const ScriptCase cases[] = {
      {"return (files.RegisterFileAssociation(\"ogg\"));", "registered"},
      {"return (files.RegisterFileAssociation(\"ogg\"));", "registered"},
  };
  CheckCases(harness_, cases);
  EXPECT_EQ(ClassesValue(".ogg", ""), "velkora2.file");
  // Registering twice keeps the first owner, not ourselves.
  EXPECT_EQ(ClassesValue(".ogg", "Velkora2_Old"), "OtherApp.Ogg");
  EXPECT_EQ(XdgDefault("audio/ogg"), "velkora2.desktop") << ReadText(MimeApps());
  const ScriptCase undo[] = {
      {"return (files.UnregisterFileAssociation(\"ogg\"));", "unregistered"},
      {"return (files.IsFileAssociationRegistered(\"ogg\"));", "0"},
      // Not ours any more: nothing changes, and that is success.
      {"return (files.UnregisterFileAssociation(\"ogg\"));", "unregistered"},
      {"return (files.UnregisterFileAssociation(\"wav\"));", "unregistered"},
  };
  CheckCases(harness_, undo);
  EXPECT_EQ(ClassesValue(".ogg", ""), "OtherApp.Ogg");
  EXPECT_EQ(ClassesValue(".ogg", "Velkora2_Old"), "<none>");
  EXPECT_EQ(ClassesValue(".ogg\\OpenWithProgids", "OtherApp.Ogg"), "");
  // Unregistering an extension with no key makes none.
  std::string none;
  EXPECT_FALSE(registry::RegReadString(RootKey::kClassesRoot, ".wav", "", &none));
  EXPECT_NE(ReadText(MimeApps()).find("audio/ogg=other.desktop;\n"), std::string::npos)
      << ReadText(MimeApps());
  EXPECT_EQ(XdgDefault("audio/ogg"), "other.desktop");
}

TEST_F(FileAssociationsTest, AnOwnerSpelledInOtherCaseIsUs) {
  ASSERT_TRUE(registry::RegWriteString(RootKey::kClassesRoot, ".mp2", "", "VELKORA2.FILE"));
  EXPECT_EQ(harness_.Answer("return (files.IsFileAssociationRegistered(\"mp2\"));"), "1");
}

}  // namespace
}  // namespace vk2::test
