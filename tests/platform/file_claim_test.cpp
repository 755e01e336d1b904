// Claimed files: a sweep removes what nobody holds and keeps what a live owner holds.
#include "platform/file_claim.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

TEST(FileClaim, ASweepRemovesOnlyUnclaimedTemporaries) {
  TempFolder dir;
  struct Case {
    const char* name;
    bool claimed;
    bool remains;
  };
  const Case cases[] = {
      {".list.m3u.tmp-a1B2c3", false, false},  // a killed writer's
      {".list.m3u.tmp-Zz9yY8", true, true},    // a live writer's
      {"list.m3u", false, true},
      {".list.m3u.tmp-short", false, true},  // not a name the writer makes
      {"list.m3u.tmp-a1B2c3", false, true},
  };
  std::vector<int> owners;
  for (const Case& c : cases) {
    const std::string path = dir / c.name;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << c.name;
    if (c.claimed) {
      ASSERT_TRUE(ClaimNewFile(fd, path));
      owners.push_back(fd);
    } else {
      ::close(fd);
    }
  }
  EXPECT_EQ(RemoveDeadTemporaries(dir.Path()), 1u);
  for (const Case& c : cases) {
    EXPECT_EQ(::access((dir / c.name).c_str(), F_OK) == 0, c.remains) << c.name;
  }
  // A file somebody else holds cannot be claimed; one removed after creation cannot either.
  const std::string held = dir / ".list.m3u.tmp-Zz9yY8";
  const int again = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_FALSE(ClaimNewFile(again, held));
  ::close(again);
  const std::string gone = dir / "gone";
  const int orphan = ::open(gone.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ::unlink(gone.c_str());
  EXPECT_FALSE(ClaimNewFile(orphan, gone));
  ::close(orphan);
  for (int fd : owners)
    ::close(fd);
  EXPECT_EQ(RemoveDeadTemporaries(dir.Path()), 1u) << "released by its owner";
}

}  // namespace
}  // namespace vk2::test
