// Many senders at once, from many threads, against one window: every request is answered
// with its own result, and the procedure runs for each exactly once, one at a time.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/instance/dde_service.h"
#include "platform/instance/message_window.h"
#include "tests/platform/instance/private_run_folder.h"

namespace vk2::instance {
namespace {

constexpr uint32_t kWayOut = 60'000;

TEST(RequestServerStressTest, ConcurrentSendersAreAllAnsweredOneAtATime) {
  test::PrivateRunFolder run;
  auto window = MessageWindow::Create("C", "T");
  ASSERT_NE(window, nullptr);
  std::atomic<int> inside{0}, overlaps{0}, calls{0};
  ASSERT_TRUE(window->Serve([&](const WindowMessage& m) -> int64_t {
    if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
    calls.fetch_add(1);
    inside.fetch_sub(1);
    return static_cast<int64_t>(m.wParam) * 2 + static_cast<int64_t>(m.data.size());
  }));
  constexpr int kThreads = 12;
  constexpr int kEach = 40;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        // Half the senders keep one connection, half connect for every message.
        static thread_local std::unique_ptr<WindowLink> kept;
        std::unique_ptr<WindowLink> fresh;
        WindowLink* link;
        if (t % 2 == 0) {
          if (!kept) kept = WindowLink::Find("C", "T");
          link = kept.get();
        } else {
          fresh = WindowLink::Find("C", "T");
          link = fresh.get();
        }
        const uint64_t value = static_cast<uint64_t>(t * 1000 + i);
        const std::string data(static_cast<size_t>(i * 37), 'd');
        if (!link || link->Send(kWmUser, value, 0, data, kWayOut) !=
                         static_cast<int64_t>(value * 2 + data.size())) {
          wrong.fetch_add(1);
        }
      }
    });
  }
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(calls.load(), kThreads * kEach);
  EXPECT_EQ(overlaps.load(), 0);
  window->Close();
}

TEST(RequestServerStressTest, ClosingWhileConversationsRunEndsThemCleanly) {
  test::PrivateRunFolder run;
  auto service = DdeService::Register("svc");
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(service->Serve([](const DdeCall& call) -> int64_t {
    return call.type == DdeTransaction::kConnect ? 1 : kDdeFAck;
  }));
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&] {
      while (!stop.load()) {
        auto conversation = DdeConversation::Connect("svc", "topic", 2000);
        if (conversation) (void)conversation->Execute("-play", 2000);
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  service->Close();
  stop.store(true);
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(DdeConversation::Connect("svc", "topic", 2000), nullptr);
}

}  // namespace
}  // namespace vk2::instance
