#include "gui/app/file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/util/result.h"
#include "tests/support/temp_folder.h"

namespace vk2::gui {
namespace {

std::string ReadBack(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FileStream, DispositionsFollowTheFlagWord) {
  test::TempFolder folder;
  const std::string existing = folder.Path() + "/existing.txt";
  const std::string missing = folder.Path() + "/missing.txt";
  struct Case {
    const char* what;
    std::string path;
    uint32_t flags;
    int32_t result;
    std::string after;  // the file's text after writing "new" (when opened for writing)
  };
  const Case cases[] = {
      {"open existing, read", existing, kFileReadExisting, kOk, "old text"},
      {"open existing, missing", missing, kFileReadExisting, kErrCannotOpen, ""},
      {"create new over a file", existing, kFileWrite | kFileCreateNew, kErrCannotOpen, "old text"},
      {"create new", missing, kFileWrite | kFileCreateNew, kOk, "new"},
      {"create always truncates", existing, kFileWrite | kFileCreateAlways, kOk, "new"},
      {"open always keeps the text", existing, kFileRead | kFileWrite | kFileOpenAlways, kOk,
       "new text"},
      {"open always creates", missing, kFileWrite | kFileOpenAlways | kFileSequentialAccess, kOk,
       "new"},
      {"neither read nor write", existing, kFileOpenExisting, kErrMissingArg, "old text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(missing);
    std::ofstream(existing) << "old text";
    FileStream file;
    ASSERT_EQ(file.Open(WideFromNarrow(c.path.c_str()), c.flags), c.result);
    if (c.result != kOk) {
      EXPECT_FALSE(file.IsOpen());
    } else if (!file.IsReadOnly()) {
      EXPECT_EQ(file.Write("new", 3), 3);
    } else {
      EXPECT_EQ(file.Write("new", 3), -1);  // read-only
      std::string text;
      ASSERT_TRUE(file.ReadAll(&text));
      EXPECT_EQ(text, "old text");
    }
    file.Close();
    EXPECT_EQ(ReadBack(c.path), c.after);
  }
}

TEST(FileStream, CopiesShareTheHandleAndReopeningClosesTheFirstFile) {
  test::TempFolder folder;
  const std::string a = folder.Path() + "/a.txt";
  const std::string b = folder.Path() + "/b.txt";
  std::ofstream(a) << "aaa";
  std::ofstream(b) << "bbb";
  FileStream first;
  ASSERT_EQ(first.Open(WideFromNarrow(a.c_str()), kFileReadExisting), kOk);
  FileStream copy = first;
  first.Close();
  std::string text;
  ASSERT_TRUE(copy.ReadAll(&text));  // the copy still holds the handle
  EXPECT_EQ(text, "aaa");
  ASSERT_EQ(copy.Open(WideFromNarrow(b.c_str()), kFileReadExisting), kOk);
  EXPECT_EQ(copy.Name(), WideFromNarrow(b.c_str()));
  ASSERT_TRUE(copy.ReadAll(&text));
  EXPECT_EQ(text, "bbb");
}

}  // namespace
}  // namespace vk2::gui
