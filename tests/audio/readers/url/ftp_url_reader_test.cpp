// The URL reader against a real FTP server on loopback (pyftpdlib, started by the test).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/audio/readers/url/url_reader_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

constexpr char kPython[] = "/usr/bin/python3";

uint16_t FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
  socklen_t size = sizeof(a);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  close(fd);
  return ntohs(a.sin_port);
}

bool Answers(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(port);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
  close(fd);
  return ok;
}

class FtpUrlReaderTest : public UrlReaderEnv {
 protected:
  void SetUp() override {
    if (access(kPython, X_OK) != 0 || test::Run({kPython, "-c", "import pyftpdlib"}) != 0) {
      GTEST_SKIP() << "pyftpdlib missing";
    }
    UrlReaderEnv::SetUp();
    body_ = PatternText(30000);
    folder_.Write("tone.bin", std::vector<uint8_t>(body_.begin(), body_.end()));
    port_ = FreePort();
    const std::string port = std::to_string(port_);
    const std::string root = folder_.Path();
    pid_ = fork();
    if (pid_ == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      execl(kPython, kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", port.c_str(), "-d",
            root.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_GT(pid_, 0);
    for (int i = 0; i < 500 && !Answers(port_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(Answers(port_)) << "the FTP server did not start";
  }
  void TearDown() override {
    UrlReaderEnv::TearDown();
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  std::string Url(const std::string& name) {
    return "ftp://127.0.0.1:" + std::to_string(port_) + "/" + name;
  }

  std::string body_;
  uint16_t port_ = 0;
  pid_t pid_ = -1;
};

TEST_F(FtpUrlReaderTest, ReadsSeeksAndRefusesMissingFiles) {
  Configure(0, 8192);
  EXPECT_EQ(Open(Url("missing.bin")), kReaderCannotOpen);
  ASSERT_EQ(Open(Url("tone.bin")), 0);
  EXPECT_TRUE(reader_->IsSeekable());
  int64_t total = 0;
  EXPECT_EQ(reader_->GetSize(&total, nullptr), 0);
  EXPECT_EQ(total, static_cast<int64_t>(body_.size()));
  Play();
  EXPECT_TRUE(Next().bytes == body_.substr(0, 1024));
  // Far ahead: a restart at the offset.
  ASSERT_EQ(reader_->SetPosition(25000), 0);
  const std::string rest = Drain();
  EXPECT_EQ(rest.size(), body_.size() - 25000);
  EXPECT_TRUE(rest == body_.substr(25000, rest.size()));
  char at[500];
  uint32_t count = 0;
  ASSERT_EQ(reader_->ReadAt(1000, at, sizeof(at), &count), 0);
  EXPECT_EQ(std::string(at, count), body_.substr(1000, 500));
}

TEST_F(FtpUrlReaderTest, CachedDownloadIsWholeAndRemovedOnClose) {
  ASSERT_EQ(Open(Url("tone.bin")), 0);
  ASSERT_TRUE(reader_->IsCaching());
  const std::string path = reader_->CachePath();
  Play();
  EXPECT_TRUE(Drain() == body_);
  reader_->StateChange(kChainStopped);
  ASSERT_EQ(reader_->Close(), 0);
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace vk2::test
