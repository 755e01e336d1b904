#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/event.h"
#include "platform/thread.h"
#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

constexpr uint32_t kWayOut = 30'000;

class FileLockTest : public ::testing::Test {
 protected:
  test::TempFolder tmp_;
  std::string path_ = tmp_ / "registry.xml.lock";
};

TEST_F(FileLockTest, ModesConflictAsReadersAndWriters) {
  struct Case {
    FileLockMode held, wanted;
    bool granted;
  };
  for (const Case& c : {Case{FileLockMode::kExclusive, FileLockMode::kExclusive, false},
                        Case{FileLockMode::kExclusive, FileLockMode::kShared, false},
                        Case{FileLockMode::kShared, FileLockMode::kExclusive, false},
                        Case{FileLockMode::kShared, FileLockMode::kShared, true}}) {
    FileLock holder, other;
    ASSERT_FALSE(holder.Acquire(path_, c.held, 0));
    EXPECT_TRUE(holder.IsHeld());
    const std::error_code ec = other.Acquire(path_, c.wanted, c.granted ? 0 : 20);
    EXPECT_EQ(!ec, c.granted);
    if (!c.granted) {
      EXPECT_EQ(ec, std::errc::timed_out);
    }
    EXPECT_EQ(other.IsHeld(), c.granted);
    holder.Release();
    other.Release();
    EXPECT_FALSE(other.Acquire(path_, c.wanted, 0)) << "free again once released";
  }
}

TEST_F(FileLockTest, AWaitingAcquireSucceedsWhenTheHolderLetsGo) {
  FileLock holder;
  ASSERT_FALSE(holder.Acquire(path_, FileLockMode::kExclusive, 0));
  Event trying;
  std::error_code result = std::make_error_code(std::errc::interrupted);
  Thread waiter;
  ASSERT_TRUE(waiter.Start([&] {
    FileLock mine;
    trying.Set();
    result = mine.Acquire(path_, FileLockMode::kExclusive, kWayOut);
  }));
  ASSERT_TRUE(trying.Wait());
  holder.Release();
  ASSERT_TRUE(waiter.Join());
  EXPECT_FALSE(result) << result.message();
}

TEST_F(FileLockTest, MovingHandsTheLockOver) {
  FileLock a;
  ASSERT_FALSE(a.Acquire(path_, FileLockMode::kExclusive, 0));
  FileLock b(std::move(a));
  EXPECT_FALSE(a.IsHeld());  // NOLINT(bugprone-use-after-move)
  EXPECT_TRUE(b.IsHeld());
  FileLock c;
  EXPECT_TRUE(c.Acquire(path_, FileLockMode::kShared, 0));
  c = std::move(b);
  EXPECT_TRUE(c.IsHeld());
  FileLock d;
  EXPECT_TRUE(d.Acquire(path_, FileLockMode::kShared, 0));
  c.Release();
  EXPECT_FALSE(d.Acquire(path_, FileLockMode::kShared, 0));
}

TEST_F(FileLockTest, MissingFolderIsAnErrorNotATimeOut) {
  FileLock lock;
  EXPECT_EQ(lock.Acquire(tmp_ / "missing/x.lock", FileLockMode::kExclusive, 10),
            std::errc::no_such_file_or_directory);
  EXPECT_FALSE(lock.IsHeld());
}

}  // namespace
}  // namespace vk2
