#include "platform/instance/local_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace vk2::instance {
namespace {

bool IsSocket(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// A socket file whose process is gone: bound, then closed without removing the file.
void LeaveStaleSocket(const std::string& path) {
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
}

TEST(LocalSocketTest, ALiveSocketIsNeverTakenOverAndAStaleOneIs) {
  test::TempFolder tmp;
  const std::string path = tmp / "w.sock";

  ListeningSocket first;
  ASSERT_FALSE(ListenAt(path, &first));
  ListeningSocket second;
  EXPECT_EQ(ListenAt(path, &second), std::errc::address_in_use);
  EXPECT_FALSE(second.fd.Valid());
  UniqueFd client;
  EXPECT_FALSE(ConnectTo(path, &client)) << "the first socket still answers";
  CloseListening(&first);
  EXPECT_FALSE(IsSocket(path));
  EXPECT_EQ(ConnectTo(path, &client), std::errc::no_such_file_or_directory);

  LeaveStaleSocket(path);
  ASSERT_TRUE(IsSocket(path));
  EXPECT_EQ(ConnectTo(path, &client), std::errc::connection_refused);
  ListeningSocket taker;
  ASSERT_FALSE(ListenAt(path, &taker));
  EXPECT_FALSE(ConnectTo(path, &client));
  EXPECT_TRUE(PeerIsSameUser(client.Get()));
}

TEST(LocalSocketTest, OnlySocketFilesAreRemovedAndOnlyOurOwn) {
  test::TempFolder tmp;
  const std::string path = tmp / "w.sock";
  { std::ofstream(path) << "not a socket"; }
  ListeningSocket socket;
  EXPECT_EQ(ListenAt(path, &socket), std::errc::address_in_use);
  EXPECT_FALSE(IsSocket(path));
  ASSERT_EQ(::unlink(path.c_str()), 0);

  // Closing a socket whose file another process has since replaced leaves that file alone.
  ASSERT_FALSE(ListenAt(path, &socket));
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ListeningSocket replacement;
  ASSERT_FALSE(ListenAt(path, &replacement));
  CloseListening(&socket);
  EXPECT_TRUE(IsSocket(path));
  UniqueFd client;
  EXPECT_FALSE(ConnectTo(path, &client));
}

TEST(LocalSocketTest, ReadsAndWritesAreBoundedInTime) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  UniqueFd a(pair[0]), b(pair[1]);
  ASSERT_TRUE(WriteAll(a.Get(), "abc", 3, SocketNowMs() + 1000));
  char got[4] = {};
  ASSERT_TRUE(ReadExact(b.Get(), got, 3, SocketNowMs() + 1000));
  EXPECT_STREQ(got, "abc");
  // Nothing more comes: the read gives up at its deadline instead of hanging.
  const uint64_t start = SocketNowMs();
  EXPECT_FALSE(ReadExact(b.Get(), got, 1, start + 50));
  EXPECT_GE(SocketNowMs() - start, 50u);
  // A peer that has gone is an error, not a signal.
  a.Reset();
  EXPECT_FALSE(ReadExact(b.Get(), got, 1, SocketNowMs() + 1000));
  EXPECT_FALSE(WriteAll(b.Get(), "x", 1, SocketNowMs() + 1000));
}

TEST(LocalSocketTest, PathsTooLongForAnAddressAreRefused) {
  ListeningSocket socket;
  EXPECT_EQ(ListenAt("/tmp/" + std::string(200, 'x'), &socket), std::errc::filename_too_long);
  UniqueFd client;
  EXPECT_EQ(ConnectTo("/tmp/" + std::string(200, 'x'), &client), std::errc::filename_too_long);
}

}  // namespace
}  // namespace vk2::instance
