#include "gui/app/termination_watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace vk2::gui {
namespace {

TEST(TerminationWatch, TerminationSignalBecomesACallUntilTheWatchEnds) {
  std::atomic<int> calls{0};
  {
    TerminationWatch watch([&] { ++calls; });
    ASSERT_TRUE(watch.IsWatching());
    ASSERT_EQ(std::raise(SIGTERM), 0);  // would end the test program without the watch
    for (int i = 0; i < 2000 && calls.load() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(calls.load(), 1);
  }
  // The earlier handling is back.
  struct sigaction current {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace vk2::gui
