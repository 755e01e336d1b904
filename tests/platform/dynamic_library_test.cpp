#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

TEST(DynamicLibraryTest, LoadsFindsCallsAndUnloads) {
  void* library = LoadSharedObject(VK2_SAMPLE_MODULE);
  ASSERT_NE(library, nullptr) << LastLoadError().text();
  EXPECT_EQ(LastLoadError().code, kLoadErrorNone);
  auto* answer = reinterpret_cast<int (*)()>(FindSymbol(library, "vk2_sample_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);

  EXPECT_EQ(FindSymbol(library, "vk2_sample_hidden"), nullptr) << "not exported";
  EXPECT_EQ(LastLoadError().code, kLoadErrorOther);
  EXPECT_NE(LastLoadError().text().find("vk2_sample_hidden"), std::string::npos);

  EXPECT_TRUE(UnloadSharedObject(library));
  EXPECT_EQ(LastLoadError().code, kLoadErrorNone);
  EXPECT_FALSE(UnloadSharedObject(nullptr));
  EXPECT_EQ(FindSymbol(nullptr, "x"), nullptr);
}

TEST(DynamicLibraryTest, FailuresAreSortedIntoNotFoundAndOther) {
  test::TempFolder folder;
  const std::string notElf = folder / "not_a_module.so";
  std::ofstream(notElf) << "plain text, not a shared object\n";
  struct Case {
    std::string path;
    int32_t code;
  };
  for (const Case& c :
       {Case{"", kLoadErrorFileNotFound}, Case{folder / "absent.so", kLoadErrorFileNotFound},
        Case{"libvk2_nowhere_to_be_found.so", kLoadErrorFileNotFound},
        Case{notElf, kLoadErrorOther}, Case{folder.Path(), kLoadErrorOther},
        Case{VK2_MISSING_DEPENDENCY_MODULE, kLoadErrorOther}}) {
    EXPECT_EQ(LoadSharedObject(c.path), nullptr) << c.path;
    EXPECT_EQ(LastLoadError().code, c.code) << c.path << ": " << LastLoadError().text();
    EXPECT_FALSE(LastLoadError().text().empty()) << c.path;
  }
}

TEST(DynamicLibraryTest, ErrorTextsMapToCodes) {
  struct Case {
    const char* requested;
    const char* text;
    int32_t code;
  };
  for (const Case& c : {
           Case{"/a/x.so", "/a/x.so: cannot open shared object file: No such file or directory",
                kLoadErrorFileNotFound},
           Case{"/a/x.so", "libdep.so: cannot open shared object file: No such file or directory",
                kLoadErrorOther},
           Case{"/a/x", "/a/x.so: cannot open shared object file: No such file or directory",
                kLoadErrorOther},
           Case{"/a/x.so", "cannot create shared object descriptor: Cannot allocate memory",
                kLoadErrorOutOfMemory},
           Case{"/a/x.so", "/a/x.so: out of memory", kLoadErrorOutOfMemory},
           Case{"/a/x.so", "/a/x.so: invalid ELF header", kLoadErrorOther},
           Case{"/a/x.so", "", kLoadErrorOther},
       }) {
    EXPECT_EQ(LoadErrorCodeFor(c.requested, c.text), c.code) << c.text;
  }
}

}  // namespace
}  // namespace vk2
