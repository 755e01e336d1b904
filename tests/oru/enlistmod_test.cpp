// The registration tool: its command line, and the program as an installer runs it.
#include <gtest/gtest.h>

#include "enlistmod/command_line.h"
#include "platform/registry/registry_file.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

using enlist::ExpandModuleWildcard;
using enlist::ResolvePath;
using enlist::SplitArgument;

TEST(EnlistmodCommandLineTest, ArgumentsSplitAtCommasAndKeepBlanks) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitArgument("a.so,b.so"), (V{"a.so", "b.so"}));
  EXPECT_EQ(SplitArgument(" my modules/a.so ,\tb.so,,"), (V{"my modules/a.so", "b.so"}));
  EXPECT_EQ(SplitArgument("\"x,y.so\",z.so"), (V{"x,y.so", "z.so"}));
  EXPECT_EQ(SplitArgument("a\\,b"), (V{"a\\,b"}));
  EXPECT_EQ(SplitArgument(std::string_view("a.so\nb.so", 9)), (V{"a.so"}));
  EXPECT_EQ(SplitArgument(""), V{});
  const char* argv[] = {"enlistmod", "/SETORU", "../oru.so"};
  EXPECT_EQ(enlist::SplitArguments(3, argv), (V{"/SETORU", "../oru.so"}));
}

TEST(EnlistmodCommandLineTest, ResolvePathRule) {
  EXPECT_EQ(ResolvePath("/a/b", "../oru.so"), "/a/oru.so");
  EXPECT_EQ(ResolvePath("/a/b", "./lib/./oru.so"), "/a/b/lib/oru.so");
  EXPECT_EQ(ResolvePath("/a/b", "/abs/oru.so"), "/abs/oru.so");
  EXPECT_EQ(ResolvePath("C:\\a\\b", "..\\oru"), "C:\\a/oru");
  EXPECT_EQ(ResolvePath("/a/b", "D:\\oru"), "D:\\oru");
  EXPECT_EQ(ResolvePath("/a", "../../../x"), "/x");
  EXPECT_EQ(ResolvePath("/a/b/", "c"), "/a/b/c");
}

TEST(EnlistmodCommandLineTest, WildcardsMatchFilesOnly) {
  Sandbox sandbox;
  std::string mods = sandbox.MakeFolder("mods");
  sandbox.WriteFile("mods/vk2_core.so", "");
  sandbox.WriteFile("mods/VK2_Gui.SO", "");
  sandbox.WriteFile("mods/other.so", "");
  sandbox.MakeFolder("mods/vk2_folder.so");
  using V = std::vector<std::string>;
  EXPECT_EQ(ExpandModuleWildcard(mods + "/vk2_*.so"),
            (V{mods + "/VK2_Gui.SO", mods + "/vk2_core.so"}));
  EXPECT_EQ(ExpandModuleWildcard(mods + "/other.s?"), (V{mods + "/other.so"}));
  EXPECT_EQ(ExpandModuleWildcard(sandbox.Root() + "/missing/*.so"), V{});
  EXPECT_EQ(ExpandModuleWildcard(mods + "/"), V{});
}

class EnlistmodTest : public ::testing::Test {
 protected:
  std::string Run(const std::vector<std::string>& args, const std::string& folder = "") {
    std::vector<std::string> argv = {VK2_TEST_ENLISTMOD};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string errors;
    EXPECT_EQ(RunProgram(argv, &errors, folder), 0) << "the tool always ends with 0";
    return errors;
  }
  std::string SharedPath() {
    std::string value;
    registry::RegReadString(registry::RootKey::kClassesRoot, "ORU", "sharedpath", &value);
    return value;
  }
  bool Registered(const std::string& module) {
    std::string text = ReadTextFile(sandbox_.RegistryPath());
    return text.find(module) != std::string::npos;
  }

  Sandbox sandbox_;
};

TEST_F(EnlistmodTest, SetoruRecordsTheResolvedPath) {
  std::string folder = sandbox_.MakeFolder("a/b");
  EXPECT_EQ(Run({"/SETORU", "../oru.so"}, folder), "");
  EXPECT_EQ(SharedPath(), sandbox_.Root() + "/a/oru.so");
  EXPECT_EQ(Run({"-setoru", "/opt/velkora2/lib/velkora2/oru.so"}), "");
  EXPECT_EQ(SharedPath(), "/opt/velkora2/lib/velkora2/oru.so");
}

TEST_F(EnlistmodTest, UsageAndSingleSetoruRegisterNothing) {
  std::string usage =
      "[note:] usage: enlistmod <modulename>\n       enlistmod /setoru <orumodulename>\n";
  EXPECT_EQ(Run({}), usage);
  EXPECT_EQ(Run({"-h"}), usage);
  EXPECT_EQ(Run({"/?"}), usage);
  EXPECT_EQ(Run({"/setoru"}), "");
  EXPECT_EQ(SharedPath(), "");
}

TEST_F(EnlistmodTest, RegistersEveryMatchingFileAndReportsFailures) {
  std::string mods = sandbox_.MakeFolder("mods");
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", mods);
  std::string beta = sandbox_.CopyModule("vk2test_beta.so", mods);
  sandbox_.WriteFile("mods/vk2test_notes.so", "not a module");
  sandbox_.MakeFolder("mods/vk2test_folder.so");
  EXPECT_EQ(Run({mods + "/vk2test_*.so"}),
            "[Error] Registration Failed for \"" + mods + "/vk2test_notes.so\"\n");
  EXPECT_TRUE(Registered(alpha));
  EXPECT_TRUE(Registered(beta));
  EXPECT_FALSE(Registered("vk2test_folder"));
}

TEST_F(EnlistmodTest, CommaSeparatedFilesAndMissingFolders) {
  std::string mods = sandbox_.MakeFolder("mods");
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", mods);
  std::string beta = sandbox_.CopyModule("vk2test_beta.so", mods);
  EXPECT_EQ(Run({sandbox_.Root() + "/nowhere/*.so"}), "");
  EXPECT_FALSE(FileExists(sandbox_.RegistryPath()));
  EXPECT_EQ(Run({alpha + "," + beta}), "");
  EXPECT_TRUE(Registered(alpha));
  EXPECT_TRUE(Registered(beta));
}

TEST_F(EnlistmodTest, WithoutARuntimeTheToolEndsQuietly) {
  ::setenv("ORU_SHARED_PATH", (sandbox_.Root() + "/none/oru.so").c_str(), 1);
  std::string mods = sandbox_.MakeFolder("mods");
  std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", mods);
  EXPECT_EQ(Run({alpha}), "");
  EXPECT_FALSE(FileExists(sandbox_.RegistryPath()));
}

}  // namespace
}  // namespace vk2::test
