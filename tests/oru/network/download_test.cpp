// Downloads into a file: a complete transfer replaces the file at once; one that fails at any
// point leaves the file as it was and no temporary beside it.
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "platform/whole_file.h"
#include "tests/oru/network/network_env.h"
#include "tests/platform/net/ftp_test_server.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

constexpr size_t kBodyBytes = 200000;

struct Progress final : MNetworkDownloadProgress {
  void OnDownloadProgress(int64_t received, int64_t total) override {
    if (!steps.empty()) {
      EXPECT_GT(received, steps.back());
    }
    steps.push_back(received);
    lastTotal = total;
  }
  std::vector<int64_t> steps;
  int64_t lastTotal = -2;
};

std::string Contents(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, &text) ? std::string("<none>") : text;
}

TEST(NetworkDownloadTest, CompleteTransferReplacesTheFile) {
  const std::string body = PatternText(kBodyBytes);
  for (const bool chunked : {false, true}) {
    SCOPED_TRACE(chunked ? "chunked" : "with a length");
    HttpTestServer server([&](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body;
      a.chunked = chunked;
      return a;
    });
    TempFolder folder;
    const std::string target = folder / "Online.zip";
    ASSERT_FALSE(WriteFileAtomic(target, "old contents", 0644));
    Progress progress;
    RefPtr<MNetwork> connection = NewConnection();
    ASSERT_EQ(connection->Download(server.Url("/content.zip").c_str(), Utf16(target).c_str(),
                                   &progress, nullptr),
              kNetworkOk);
    EXPECT_TRUE(Contents(target) == body);
    EXPECT_EQ(folder.List(), std::vector<std::string>{"Online.zip"});
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.back(), static_cast<int64_t>(kBodyBytes));
    EXPECT_EQ(progress.lastTotal, chunked ? -1 : static_cast<int64_t>(kBodyBytes));
    EXPECT_FALSE(connection->IsConnected());
  }
}

TEST(NetworkDownloadTest, FtpTransferIsWhole) {
  if (!FtpTestServer::Available()) GTEST_SKIP() << "pyftpdlib missing";
  TempFolder served;
  const std::string body = PatternText(kBodyBytes);
  served.Write("content.zip", std::vector<uint8_t>(body.begin(), body.end()));
  FtpTestServer server(served.Path());
  ASSERT_TRUE(server.Answers());
  TempFolder folder;
  RefPtr<MNetwork> connection = NewConnection();
  ASSERT_EQ(connection->Download(server.Url("content.zip").c_str(),
                                 Utf16(folder / "Online.zip").c_str(), nullptr, nullptr),
            kNetworkOk);
  EXPECT_TRUE(Contents(folder / "Online.zip") == body);
}

TEST(NetworkDownloadTest, FailureHalfWayLeavesNoFileBehind) {
  const std::string body = PatternText(kBodyBytes);
  const int64_t half = static_cast<int64_t>(kBodyBytes / 2);
  struct Case {
    const char* name;
    HttpAnswer answer;
    int32_t result;
  };
  auto answer = [&](auto change) {
    HttpAnswer a;
    a.body = body;
    change(a);
    return a;
  };
  const Case cases[] = {
      {"closed half-way through an announced length",
       answer([&](HttpAnswer& a) { a.closeAfter = half; }), kNetworkDisconnected},
      {"closed half-way through the chunks", answer([&](HttpAnswer& a) {
         a.chunked = true;
         a.closeAfter = half;
       }),
       kNetworkDisconnected},
      {"silent half-way", answer([&](HttpAnswer& a) { a.stallAfter = half; }), kNetworkTimedOut},
      {"not found", answer([&](HttpAnswer& a) { a.status = 404; }), kNetworkRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HttpTestServer server([&](const std::string&, const std::string&) { return c.answer; });
    for (const bool existing : {false, true}) {
      SCOPED_TRACE(existing ? "over an existing file" : "a new file");
      TempFolder folder;
      const std::string target = folder / "Online.zip";
      if (existing) {
        ASSERT_FALSE(WriteFileAtomic(target, "old contents"));
      }
      RefPtr<MNetwork> connection = NewConnection();
      NetworkTimeouts quick;
      quick.readMs = 300;
      connection->SetTimeouts(quick);
      Progress progress;
      EXPECT_EQ(connection->Download(server.Url("/content.zip").c_str(), Utf16(target).c_str(),
                                     &progress, nullptr),
                c.result);
      if (existing) {
        EXPECT_EQ(Contents(target), "old contents");
        EXPECT_EQ(folder.List(), std::vector<std::string>{"Online.zip"});
      } else {
        EXPECT_TRUE(folder.List().empty());
      }
      EXPECT_FALSE(connection->IsConnected());
    }
  }
}

TEST(NetworkDownloadTest, UnwritableFileFailsCleanlyAndDeadTemporariesAreSwept) {
  const std::string body = PatternText(1000);
  HttpTestServer server([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = body;
    return a;
  });
  TempFolder folder;
  RefPtr<MNetwork> connection = NewConnection();
  const std::string url = server.Url("/content.zip");
  EXPECT_EQ(connection->Download(url.c_str(), Utf16(folder / "missing/Online.zip").c_str(), nullptr,
                                 nullptr),
            kNetworkFileFailed);
  EXPECT_EQ(connection->Download(url.c_str(), u"", nullptr, nullptr), kNetworkFileFailed);
  EXPECT_EQ(connection->Download(url.c_str(), nullptr, nullptr, nullptr), kNetworkFailed);
  EXPECT_TRUE(folder.List().empty());

  // What a writer killed half-way left (nobody holds it) goes with the next download.
  const std::string dead = folder / ".Online.zip.tmp-Ab12Cd";
  const int fd = open(dead.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(
      connection->Download(url.c_str(), Utf16(folder / "Online.zip").c_str(), nullptr, nullptr),
      kNetworkOk);
  EXPECT_EQ(folder.List(), std::vector<std::string>{"Online.zip"});
}

}  // namespace
}  // namespace vk2::test
