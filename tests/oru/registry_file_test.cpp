// The registry stand-in: its file format, and one file shared by many processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/registry/registry_file.h"
#include "platform/registry/registry_format.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

using registry::ParseRegistryText;
using registry::RegistryKey;
using registry::ValueType;

TEST(RegistryFormatTest, RoundTripKeepsNamesTypesAndOrder) {
  RegistryKey root;
  RegistryKey& oru = root.Make({"HKEY_CLASSES_ROOT", "ORU"});
  oru.SetString("sharedpath", "/opt/v\xC3\xA9lkora <2> & \"x\"\n\ttab\r");
  oru.SetNumber("count", ValueType::kDword, 4294967295u);
  oru.SetNumber("stamp", ValueType::kQword, 18446744073709551615ull);
  oru.SetString("", "default value");
  root.Make({"HKEY_CLASSES_ROOT", "CLSID", "{B}"});
  root.Make({"HKEY_CLASSES_ROOT", "CLSID", "{A}"}).SetString("module", "/lib/a.so");
  std::string text = registry::FormatRegistryText(root);
  RegistryKey back;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(text, &back, &error)) << error << "\n" << text;
  EXPECT_TRUE(back == root);
  EXPECT_EQ(registry::FormatRegistryText(back), text);
}

TEST(RegistryFormatTest, KeysAndValuesIgnoreCaseAndRepeatedKeysMerge) {
  RegistryKey root;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(
      "<?xml version=\"1.0\"?>\n<!-- hand edited -->\n<registry version=\"1\">"
      "<key name=\"HKEY_CLASSES_ROOT\"><key name=\"Oru\"><value name=\"A\">1</value></key>"
      "<key name=\"ORU\"><value name=\"b\" type=\"dword\">2</value></key></key></registry>",
      &root, &error))
      << error;
  const RegistryKey* oru = root.Find({"hkey_classes_root", "oru"});
  ASSERT_NE(oru, nullptr);
  EXPECT_EQ(oru->Name(), "Oru");
  ASSERT_NE(oru->FindValue("a"), nullptr);
  ASSERT_NE(oru->FindValue("B"), nullptr);
  EXPECT_EQ(oru->FindValue("B")->number, 2u);
}

TEST(RegistryFormatTest, BadFilesAreRefusedWithALine) {
  const char* const bad[] = {
      "",
      "<registry>",
      "<other/>",
      "<registry><key/></registry>",
      "<registry><key name=\"a\"></registry>",
      "<registry><key name=\"a\"><value name=\"x\" type=\"dword\">-1</value></key></registry>",
      "<registry><key name=\"a\"><value name=\"x\" type=\"dword\">4294967296</value></key>"
      "</registry>",
      "<registry><key name=\"a\"><value name=\"x\" type=\"blob\"/></key></registry>",
      "<registry><key name=\"a\" color=\"red\"/></registry>",
      "<registry><key name=\"a\"><value name=\"x\">&bogus;</value></key></registry>",
      "<registry><key name=\"a\"><value name=\"x\">&#0;</value></key></registry>",
      "<registry><key name=\"a\"><value name=\"x\"><b/></value></key></registry>",
      "<registry/><registry/>",
      "<registry>\n<!-- never closed",
  };
  for (const char* text : bad) {
    RegistryKey root;
    root.Child("left over");
    std::string error;
    EXPECT_FALSE(ParseRegistryText(text, &root, &error)) << text;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    EXPECT_TRUE(root.Children().empty());
  }
  // Found by fuzzing: a NUL inside a name, which could not be written back.
  RegistryKey withNul;
  std::string nulError;
  EXPECT_FALSE(ParseRegistryText(std::string("<registry><key name=\"a\0b\"/></registry>", 35),
                                 &withNul, &nulError));
  std::string deep;
  for (int i = 0; i < 1000; ++i)
    deep += "<key name=\"k\">";
  RegistryKey root;
  std::string error;
  EXPECT_FALSE(ParseRegistryText("<registry>" + deep, &root, &error));
}

TEST(RegistryFileTest, ChangesByAnotherWriterAreSeen) {
  Sandbox sandbox;
  std::string path = sandbox.Root() + "/reg.xml";
  registry::RegistryFile mine(path);
  registry::RegistryFile theirs(path);
  uint64_t generation = mine.Generation();
  ASSERT_TRUE(theirs.Update([](RegistryKey& root) {
    root.Make({"HKEY_CLASSES_ROOT", "ORU"}).SetString("sharedpath", "/x/oru.so");
    return true;
  }));
  std::string seen;
  ASSERT_TRUE(mine.Read([&](const RegistryKey& root) {
    const RegistryKey* oru = root.Find({"HKEY_CLASSES_ROOT", "ORU"});
    if (oru && oru->FindValue("sharedpath")) seen = oru->FindValue("sharedpath")->text;
  }));
  EXPECT_EQ(seen, "/x/oru.so");
  EXPECT_GT(mine.Generation(), generation);
  // An update that changes nothing writes nothing.
  auto stamp = StampOf(path);
  ASSERT_TRUE(mine.Update([](RegistryKey&) { return true; }));
  EXPECT_EQ(StampOf(path), stamp);
}

TEST(RegistryFileTest, ADamagedFileIsKeptAsideBeforeTheNextWrite) {
  Sandbox sandbox;
  std::string path = sandbox.WriteFile("reg.xml", "<registry><key name=");
  registry::RegistryFile file(path);
  bool reached = false;
  EXPECT_FALSE(file.Read([&](const RegistryKey& root) { reached = root.Children().empty(); }));
  EXPECT_TRUE(reached);
  ASSERT_TRUE(file.Update([](RegistryKey& root) {
    root.Make({"HKEY_CLASSES_ROOT", "ORU"}).SetString("x", "y");
    return true;
  }));
  EXPECT_EQ(ReadTextFile(path + ".bad"), "<registry><key name=");
  EXPECT_TRUE(file.Read([](const RegistryKey&) {}));
}

TEST(RegistryFileTest, ParallelProcessesLoseNoWrite) {
  Sandbox sandbox;
  std::string path = sandbox.Root() + "/reg.xml";
  constexpr int kWriters = 6;
  constexpr int kWrites = 15;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = ::fork();
    if (pid == 0) {
      registry::RegistryFile file(path);
      bool ok = true;
      for (int i = 0; i < kWrites; ++i) {
        ok = file.Update([&](RegistryKey& root) {
          root.Make({"HKEY_CLASSES_ROOT", "writer" + std::to_string(w)})
              .SetNumber(std::string("n").append(std::to_string(i)), ValueType::kDword,
                         static_cast<uint64_t>(i));
          return true;
        }) && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RegistryKey root;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(ReadTextFile(path), &root, &error)) << error;
  for (int w = 0; w < kWriters; ++w) {
    const RegistryKey* key = root.Find({"HKEY_CLASSES_ROOT", "writer" + std::to_string(w)});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Values().size(), static_cast<size_t>(kWrites));
  }
}

TEST(RegistryFileTest, DefaultPathFollowsTheEnvironment) {
  Sandbox sandbox;
  EXPECT_EQ(registry::DefaultRegistryPath(), sandbox.RegistryPath());
  ::setenv("VK2_REGISTRY", (sandbox.Root() + "/explicit.xml").c_str(), 1);
  EXPECT_EQ(registry::DefaultRegistryPath(), sandbox.Root() + "/explicit.xml");
  ASSERT_TRUE(registry::RegWriteString(registry::RootKey::kClassesRoot, "ORU\\Sub", "v", "1"));
  EXPECT_TRUE(FileExists(sandbox.Root() + "/explicit.xml"));
  std::string v;
  EXPECT_TRUE(registry::RegReadString(registry::RootKey::kClassesRoot, "oru\\sub", "V", &v));
  EXPECT_TRUE(registry::RegDeleteKey(registry::RootKey::kClassesRoot, "ORU"));
  EXPECT_FALSE(registry::RegReadString(registry::RootKey::kClassesRoot, "oru\\sub", "V", &v));
  ::unsetenv("VK2_REGISTRY");
}

}  // namespace
}  // namespace vk2::test
