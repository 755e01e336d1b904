#include "platform/instance/message_window.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/instance/instance_paths.h"
#include "tests/platform/instance/private_run_folder.h"

namespace vk2::instance {
namespace {

constexpr char kClass[] = "Velkora Window Class";
constexpr char kTitle[] = "Velkora2";
constexpr uint32_t kWayOut = 30'000;

// Records what the procedure saw and answers with the message number plus the data's length.
struct Recorder {
  std::mutex mutex;
  std::vector<WindowMessage> seen;
  std::vector<std::string> data;

  WindowProcedure Procedure() {
    return [this](const WindowMessage& m) -> int64_t {
      std::lock_guard lock(mutex);
      seen.push_back(m);
      data.emplace_back(m.data);
      seen.back().data = {};
      return static_cast<int64_t>(m.message) + static_cast<int64_t>(m.data.size());
    };
  }
  size_t Count() {
    std::lock_guard lock(mutex);
    return seen.size();
  }
};

TEST(MessageWindowTest, MessagesReachTheProcedureWithTheirExactBytes) {
  test::PrivateRunFolder run;
  EXPECT_EQ(WindowLink::Find(kClass, kTitle), nullptr);
  auto window = MessageWindow::Create(kClass, kTitle);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Path(), run.RunFolder() + "/Velkora Window Class.Velkora2.sock");
  Recorder recorder;
  ASSERT_TRUE(window->Serve(recorder.Procedure()));

  auto link = WindowLink::Find(kClass, kTitle);
  ASSERT_NE(link, nullptr);
  const std::string copyData("a.wav \"b c.wav\"\0tail", 20);
  EXPECT_EQ(link->Send(kWmCopyData, 0, 0, copyData, kWayOut), kWmCopyData + 20);
  EXPECT_EQ(link->Send(0x9004, 7, -3, {}, kWayOut), 0x9004);
  // The largest request passes; one byte more is not sent at all.
  EXPECT_EQ(link->Send(kWmUser, 0, 0, std::string(kMaxRequestBytes, 'x'), kWayOut),
            kWmUser + kMaxRequestBytes);
  EXPECT_FALSE(link->Send(kWmUser, 0, 0, std::string(kMaxRequestBytes + 1, 'x'), kWayOut));

  std::lock_guard lock(recorder.mutex);
  ASSERT_EQ(recorder.seen.size(), 3u);
  EXPECT_EQ(recorder.data[0], copyData);
  EXPECT_EQ(recorder.seen[1].message, 0x9004u);
  EXPECT_EQ(recorder.seen[1].wParam, 7u);
  EXPECT_EQ(recorder.seen[1].lParam, -3);
}

TEST(MessageWindowTest, ASenderThatComesBeforeServingWaitsAndIsAnswered) {
  test::PrivateRunFolder run;
  auto window = MessageWindow::Create(kClass, kTitle);
  ASSERT_NE(window, nullptr);
  std::atomic<int64_t> answer{-1};
  std::thread sender([&] {
    auto link = WindowLink::Find(kClass, kTitle);
    if (link) answer = link->Send(kWmCopyData, 0, 0, std::string("x\0", 2), kWayOut).value_or(-2);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(answer.load(), -1) << "nothing may answer before the window serves";
  Recorder recorder;
  ASSERT_TRUE(window->Serve(recorder.Procedure()));
  sender.join();
  EXPECT_EQ(answer.load(), kWmCopyData + 2);
}

TEST(MessageWindowTest, ASecondWindowOfTheSameNameFailsAndLeavesTheFirstAnswering) {
  test::PrivateRunFolder run;
  auto first = MessageWindow::Create(kClass, kTitle);
  ASSERT_NE(first, nullptr);
  Recorder recorder;
  ASSERT_TRUE(first->Serve(recorder.Procedure()));
  std::error_code error;
  EXPECT_EQ(MessageWindow::Create(kClass, kTitle, &error), nullptr);
  EXPECT_EQ(error, std::errc::address_in_use);
  auto link = WindowLink::Find(kClass, kTitle);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Send(kWmUser, 0, 0, {}, kWayOut), kWmUser);
  first->Close();
  EXPECT_EQ(WindowLink::Find(kClass, kTitle), nullptr);
}

TEST(MessageWindowTest, BadFramesAndSilentClientsHoldUpNobody) {
  test::PrivateRunFolder run;
  auto window = MessageWindow::Create(kClass, kTitle);
  ASSERT_NE(window, nullptr);
  Recorder recorder;
  ASSERT_TRUE(window->Serve(recorder.Procedure()));
  const std::string path = WindowSocketPath(kClass, kTitle);

  UniqueFd silent;  // connects and says nothing
  ASSERT_FALSE(ConnectTo(path, &silent));
  UniqueFd halfway;  // sends half a header
  ASSERT_FALSE(ConnectTo(path, &halfway));
  ASSERT_TRUE(WriteAll(halfway.Get(), "VK2R", 4, SocketNowMs() + kWayOut));

  struct BadFrame {
    const char* what;
    std::string bytes;
  };
  std::string oversized;
  Request big;
  big.bytes = "x";
  ASSERT_TRUE(EncodeRequest(big, &oversized));
  oversized[30] = 0x10;  // byte count 0x100001
  std::string ddeKind;
  Request dde;
  dde.kind = RequestKind::kDdeExecute;
  ASSERT_TRUE(EncodeRequest(dde, &ddeKind));
  for (const BadFrame& bad :
       {BadFrame{"another protocol", "GET / HTTP/1.0\r\n\r\n"}, BadFrame{"over 64 KiB", oversized},
        BadFrame{"a DDE request at a window", ddeKind}}) {
    UniqueFd fd;
    ASSERT_FALSE(ConnectTo(path, &fd));
    ASSERT_TRUE(WriteAll(fd.Get(), bad.bytes.data(), bad.bytes.size(), SocketNowMs() + kWayOut));
    char reply[kReplyBytes];
    EXPECT_FALSE(ReadExact(fd.Get(), reply, sizeof reply, SocketNowMs() + kWayOut)) << bad.what;
  }
  auto link = WindowLink::Find(kClass, kTitle);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Send(0x9004, 0, 0, {}, kWayOut), 0x9004);
  EXPECT_EQ(recorder.Count(), 1u) << "only the good request reached the procedure";
}

TEST(MessageWindowTest, AnotherProcessFindsTheWindowAndASenderThatGivesUpLosesNothing) {
  test::PrivateRunFolder run;
  auto window = MessageWindow::Create(kClass, kTitle);
  ASSERT_NE(window, nullptr);
  std::atomic<int> handled{0};
  ASSERT_TRUE(window->Serve([&](const WindowMessage& m) -> int64_t {
    // A slow handler (a dialog the command opened): the sender may stop waiting first.
    if (m.message == kWmUser + 1) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    handled.fetch_add(1);
    return 5;
  }));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto link = WindowLink::Find(kClass, kTitle);
    const bool answered = link && link->Send(kWmUser, 0, 0, {}, kWayOut) == 5;
    const bool gaveUp = link && !link->Send(kWmUser + 1, 0, 0, {}, 50);
    ::_exit(answered && gaveUp ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < 300 && handled.load() < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(handled.load(), 2);
  // The server lives on after the failed reply.
  auto link = WindowLink::Find(kClass, kTitle);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Send(kWmUser, 0, 0, {}, kWayOut), 5);
}

}  // namespace
}  // namespace vk2::instance
