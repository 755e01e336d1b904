// The disk cache's files: each is claimed while its stream lives, and a stream that starts
// caching removes the files of streams that died without deleting theirs.
#include "audio/readers/url/stream_cache_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

// A child process caching into `folder`; its file's path once it has one. Killed on destruction.
class CachingProcess {
 public:
  explicit CachingProcess(const std::string& folder) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      StreamCacheFile cache;
      std::string path = cache.Create(folder) && cache.Append("data", 4) ? cache.Path() : "";
      (void)!::write(fds[1], path.data(), path.size());
      ::close(fds[1]);
      for (;;)
        ::pause();
    }
    ::close(fds[1]);
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
      path_.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
  }
  ~CachingProcess() { Kill(); }
  const std::string& path() const { return path_; }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  std::string path_;
};

TEST(StreamCacheFile, StartingToCacheRemovesFilesNoLiveStreamHolds) {
  TempFolder dir;
  CachingProcess killed(dir.Path());
  CachingProcess alive(dir.Path());
  ASSERT_FALSE(killed.path().empty());
  ASSERT_FALSE(alive.path().empty());
  killed.Kill();
  ASSERT_TRUE(std::filesystem::exists(killed.path())) << "a killed stream leaves its file";
  // Files of other names in the cache folder are not the cache's to remove.
  std::ofstream(dir / "vknstrm.notes") << "x";
  std::ofstream(dir / "other") << "x";

  StreamCacheFile cache;
  ASSERT_TRUE(cache.Create(dir.Path()));
  // The dead stream's name is free again, so the new file may take it: judge by contents.
  EXPECT_EQ(dir.List().size(), 4u);
  if (cache.Path() == killed.path()) {
    EXPECT_EQ(std::filesystem::file_size(killed.path()), 0u);
  } else {
    EXPECT_FALSE(std::filesystem::exists(killed.path()));
  }
  EXPECT_EQ(std::filesystem::file_size(alive.path()), 4u);
  EXPECT_TRUE(std::filesystem::exists(dir / "vknstrm.notes"));
  EXPECT_TRUE(std::filesystem::exists(dir / "other"));

  // A stream that finished writing still holds its file while it can be read back.
  ASSERT_TRUE(cache.Append("abc", 3));
  cache.FinishWriting();
  StreamCacheFile another;
  ASSERT_TRUE(another.Create(dir.Path()));
  EXPECT_TRUE(std::filesystem::exists(cache.Path()));
  char back[3];
  EXPECT_EQ(cache.ReadAt(0, back, 3), 3);
}

}  // namespace
}  // namespace vk2::test
