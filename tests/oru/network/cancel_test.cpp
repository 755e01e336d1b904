// A wait on a server that has gone quiet ends within a second of its cancel event being set,
// however long the connection's own time limits are, at every stage of a transfer.
#include <atomic>
#include <thread>

#include "platform/event.h"
#include "tests/oru/network/network_env.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

constexpr uint32_t kPatientMs = 600000;
constexpr int64_t kCancelAfterMs = 150;

enum class Stage { kOpen, kRead, kDownload };

TEST(NetworkCancelTest, CancelDuringAStallReturnsWithinASecond) {
  const std::string body = PatternText(50000);
  const struct {
    const char* name;
    Stage stage;
    bool answer;  // the server answers the request head, then stalls in the body
  } cases[] = {
      {"open waiting for the response", Stage::kOpen, false},
      {"read waiting for the body", Stage::kRead, true},
      {"download waiting for the body", Stage::kDownload, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HttpTestServer server([&](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body;
      a.stall = !c.answer;
      a.stallAfter = 20000;
      return a;
    });
    TempFolder folder;
    RefPtr<MNetwork> connection = NewConnection();
    NetworkTimeouts patient;
    patient.connectMs = patient.responseMs = patient.readMs = patient.openMs = kPatientMs;
    connection->SetTimeouts(patient);
    Event cancel(EventReset::kManual);
    const std::string url = server.Url("/stream");
    if (c.stage == Stage::kRead) {
      ASSERT_EQ(connection->Open(url.c_str(), kNetworkOpenRead, 0, -1, nullptr), kNetworkOk);
    }
    std::atomic<bool> cancelled{false};
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(kCancelAfterMs));
      cancelledAt = std::chrono::steady_clock::now();
      cancelled = true;
      cancel.Set();
    });
    int64_t result = 0;
    std::string received;
    switch (c.stage) {
      case Stage::kOpen:
        result = connection->Open(url.c_str(), kNetworkOpenRead, 0, -1, &cancel);
        break;
      case Stage::kRead:
        received = ReadAll(*connection, &result, &cancel);
        break;
      case Stage::kDownload:
        result =
            connection->Download(url.c_str(), Utf16(folder / "song.ogg").c_str(), nullptr, &cancel);
        break;
    }
    const auto returnedAt = std::chrono::steady_clock::now();
    canceller.join();
    ASSERT_TRUE(cancelled.load()) << "returned before the cancel";
    EXPECT_EQ(result, kNetworkCancelled);
    EXPECT_LT(
        std::chrono::duration_cast<std::chrono::milliseconds>(returnedAt - cancelledAt).count(),
        1000);
    if (c.stage == Stage::kRead) {
      EXPECT_TRUE(received == body.substr(0, 20000));
    }
    // A cancelled download leaves nothing behind.
    EXPECT_TRUE(folder.List().empty());
  }
}

}  // namespace
}  // namespace vk2::test
