// A file replaced from pieces: readers see the old file until the commit, and a writer that
// gives up (or is destroyed) leaves the old file and no temporary.
#include "platform/atomic_file_writer.h"

#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

std::string Contents(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, &text) ? std::string("<none>") : text;
}

TEST(AtomicFileWriterTest, PiecesTakeTheFilesPlaceOnlyAtTheCommit) {
  test::TempFolder tmp;
  const std::string path = tmp / "Online.zip";
  ASSERT_FALSE(WriteFileAtomic(path, "old"));
  AtomicFileWriter writer;
  ASSERT_FALSE(writer.Begin(path));
  ASSERT_FALSE(writer.Write("new "));
  ASSERT_FALSE(writer.Write("contents"));
  EXPECT_EQ(Contents(path), "old");
  // The live temporary is claimed: a sweep of dead ones leaves it.
  EXPECT_EQ(RemoveDeadTemporaries(tmp.Path()), 0u);
  EXPECT_EQ(tmp.List().size(), 2u);
  ASSERT_FALSE(writer.Commit());
  EXPECT_EQ(Contents(path), "new contents");
  EXPECT_EQ(tmp.List(), std::vector<std::string>{"Online.zip"});
  EXPECT_EQ(writer.Write("more"), std::errc::bad_file_descriptor);
  EXPECT_EQ(writer.Commit(), std::errc::bad_file_descriptor);
}

TEST(AtomicFileWriterTest, AbandonedOrDroppedWritesLeaveTheOldFileAlone) {
  test::TempFolder tmp;
  const std::string path = tmp / "Online.zip";
  ASSERT_FALSE(WriteFileAtomic(path, "old"));
  for (const bool explicitly : {true, false}) {
    SCOPED_TRACE(explicitly ? "abandoned" : "destroyed");
    {
      AtomicFileWriter writer;
      ASSERT_FALSE(writer.Begin(path));
      ASSERT_FALSE(writer.Write("half of it"));
      if (explicitly) {
        writer.Abandon();
        EXPECT_FALSE(writer.IsOpen());
      }
    }
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(tmp.List(), std::vector<std::string>{"Online.zip"});
  }
}

}  // namespace
}  // namespace vk2
