// The URL reader against a real FTP server on loopback (pyftpdlib, started by the test).
#include <unistd.h>

#include <memory>

#include "tests/audio/readers/url/url_reader_env.h"
#include "tests/platform/net/ftp_test_server.h"

namespace vk2::test {
namespace {

class FtpUrlReaderTest : public UrlReaderEnv {
 protected:
  void SetUp() override {
    if (!FtpTestServer::Available()) GTEST_SKIP() << "pyftpdlib missing";
    UrlReaderEnv::SetUp();
    body_ = PatternText(30000);
    folder_.Write("tone.bin", std::vector<uint8_t>(body_.begin(), body_.end()));
    server_ = std::make_unique<FtpTestServer>(folder_.Path());
    ASSERT_TRUE(server_->Answers()) << "the FTP server did not start";
  }
  void TearDown() override {
    UrlReaderEnv::TearDown();
    server_.reset();
  }
  std::string Url(const std::string& name) { return server_->Url(name); }

  std::string body_;
  std::unique_ptr<FtpTestServer> server_;
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
