// Saving a playlist file: a save killed before its rename leaves a temporary, and the next
// save in that folder clears it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "core/formats/m3u.h"
#include "core/formats/playlist_io.h"
#include "format_support.h"
#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

int32_t SaveM3u(const std::string& path, const ItemInfoArray& items) {
  return SavePlaylistFile(Utf16(path.c_str()),
                          [&](FileStream* s) { return WriteM3u(s, items, true, false); });
}

size_t Temporaries(const TempFolder& dir) {
  const std::vector<std::string> names = dir.List();
  return static_cast<size_t>(std::count_if(
      names.begin(), names.end(), [](const std::string& n) { return IsAtomicWriteTemporary(n); }));
}

// Stops the process inside its write once the file reaches the size limit, so the parent can
// kill it there.
void StopInsideWrites(rlim_t limit) {
  struct sigaction action {};
  action.sa_handler = [](int) { ::raise(SIGSTOP); };
  ::sigaction(SIGXFSZ, &action, nullptr);
  const struct rlimit size { limit, limit };
  ::setrlimit(RLIMIT_FSIZE, &size);
}

TEST(PlaylistSave, TheNextSaveInTheFolderClearsWhatAKilledSaveLeft) {
  TempFolder dir;
  ItemInfoArray items;
  for (int i = 0; i < 200; ++i)
    items.Append(Item(("http://host/stream/" + std::to_string(i) + ".mp3").c_str()));
  // Each killed save clears what the one before it left, and leaves its own.
  for (const char* name : {"list.m3u", "list.m3u", "again.m3u"}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      StopInsideWrites(1000);
      SaveM3u(dir / name, items);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, WUNTRACED), pid);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the save did not reach its write";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_EQ(Temporaries(dir), 1u) << name;
    ASSERT_EQ(dir.List().size(), 1u) << "and no playlist";
  }

  ItemInfoArray small;
  small.Append(Item("http://host/one.mp3"));
  ASSERT_EQ(SaveM3u(dir / "other.m3u", small), 1);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"other.m3u"});
}

}  // namespace
}  // namespace vk2::test
