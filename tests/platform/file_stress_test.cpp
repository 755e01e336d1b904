// Whole-file replacement and file locks under concurrent threads and a second process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/file_lock.h"
#include "platform/thread.h"
#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

constexpr uint32_t kWayOut = 30'000;

TEST(FileStressTest, ReadersSeeOneWholeVersionOrTheOther) {
  test::TempFolder tmp;
  const std::string path = tmp / "prefs.xml";
  const std::string a(300'000, 'a'), b(200'000, 'b');
  ASSERT_FALSE(WriteFileAtomic(path, a));
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, reads{0};
  std::vector<Thread> readers(3);
  for (Thread& t : readers) {
    ASSERT_TRUE(t.Start([&] {
      std::string got;
      while (!done) {
        if (ReadWholeFile(path, &got) || (got != a && got != b)) ++torn;
        ++reads;
      }
    }));
  }
  for (int i = 0; i < 200; ++i)
    ASSERT_FALSE(WriteFileAtomic(path, i % 2 ? a : b));
  done = true;
  for (Thread& t : readers)
    ASSERT_TRUE(t.Join());
  EXPECT_EQ(torn.load(), 0);
  EXPECT_GT(reads.load(), 0);
}

// Read, increment, write back under the lock: a lost update shows in the final count.
int Increment(const std::string& counter, const std::string& lockPath, int rounds) {
  int failures = 0;
  for (int i = 0; i < rounds; ++i) {
    FileLock lock;
    if (lock.Acquire(lockPath, FileLockMode::kExclusive, kWayOut)) {
      ++failures;
      continue;
    }
    std::string text;
    if (ReadWholeFile(counter, &text)) text.assign(1, '0');
    if (WriteFileAtomic(counter, std::to_string(std::stoi(text) + 1))) ++failures;
  }
  return failures;
}

TEST(FileStressTest, LockedIncrementsFromThreadsAndAProcessLoseNothing) {
  test::TempFolder tmp;
  const std::string counter = tmp / "counter";
  const std::string lockPath = counter + ".lock";
  constexpr int kRounds = 150;
  constexpr int kThreads = 3;
  // The second process starts before any thread of this test exists.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(Increment(counter, lockPath, kRounds) == 0 ? 0 : 1);
  std::atomic<int> failures{0};
  std::vector<Thread> threads(kThreads);
  for (Thread& t : threads) {
    ASSERT_TRUE(t.Start([&] { failures += Increment(counter, lockPath, kRounds); }));
  }
  for (Thread& t : threads)
    ASSERT_TRUE(t.Join());
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(failures.load(), 0);
  std::string text;
  ASSERT_FALSE(ReadWholeFile(counter, &text));
  EXPECT_EQ(text, std::to_string(kRounds * (kThreads + 1)));
}

}  // namespace
}  // namespace vk2
