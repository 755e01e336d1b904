// Requests can start programs, so a process of another user must not be heard even when it
// can reach the socket. Running a client as another user needs root (CI runs as root).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <cstdio>

#include "platform/instance/local_socket.h"
#include "platform/instance/message_window.h"
#include "platform/instance/request_server.h"
#include "tests/support/temp_folder.h"

namespace vk2::instance {
namespace {

constexpr uid_t kNobody = 65534;

TEST(OtherUserTest, RequestsFromAnotherUserAreRefusedUnread) {
  ASSERT_EQ(::geteuid(), 0u) << "this test runs a client as another user and needs root";
  test::TempFolder tmp;
  // A folder anyone may enter, unlike the real run folder: only the uid check stands.
  ASSERT_EQ(::chmod(tmp.Path().c_str(), 0777), 0);
  const std::string path = tmp / "open.sock";
  ListeningSocket socket;
  ASSERT_FALSE(ListenAt(path, &socket));
  ASSERT_EQ(::chmod(path.c_str(), 0777), 0);
  std::atomic<int> handled{0};
  RequestServer server;
  ASSERT_TRUE(server.Start(socket.fd.Get(), [&](Conversation&, const Request&) {
    handled.fetch_add(1);
    return std::optional<int64_t>(1);
  }));

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    UniqueFd fd;
    // The client's own check refuses a server of another user too.
    const bool clientRefused = ConnectTo(path, &fd) == std::errc::permission_denied;
    // Bypass that check to see what the server does with the request.
    UniqueFd raw(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (::connect(raw.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      ::_exit(4);
    Request request;
    request.kind = RequestKind::kWindowMessage;
    request.message = kWmCopyData;
    request.bytes = "-execute /bin/true";
    const bool serverRefused = !Transact(raw.Get(), request, 5000);
    ::_exit(clientRefused && serverRefused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(handled.load(), 0);
  server.Stop();
  CloseListening(&socket);
}

}  // namespace
}  // namespace vk2::instance
