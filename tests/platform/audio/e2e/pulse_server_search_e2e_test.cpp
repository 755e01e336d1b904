// The user's own PulseAudio server is found when the folders libpulse searches point elsewhere:
// a clean profile (fresh XDG_CONFIG_HOME) or a private XDG_RUNTIME_DIR must not leave the
// player silent while the server runs at its usual place. A server the user names is kept to.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/audio/sink/pulse_loop.h"
#include "platform/audio/sink/pulse_sink.h"
#include "platform/environment.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

class PulseServerSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The server must be reachable before the folders move.
    ASSERT_TRUE(PulseServerAnswers(2000))
        << "no PulseAudio server (scripts/start-test-services.sh)";
    for (const char* folder : {"config", "run"})
      ASSERT_EQ(::mkdir((tmp_ / folder).c_str(), 0700), 0);
  }

  // Folders of a fresh profile, with nothing of the user's sound settings in them.
  void MoveFolders() {
    SetEnv("XDG_CONFIG_HOME", tmp_ / "config");
    SetEnv("XDG_RUNTIME_DIR", tmp_ / "run");
  }

  test::ScopedEnvironment environment_{"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "PULSE_SERVER"};
  test::TempFolder tmp_;
};

TEST_F(PulseServerSearchTest, AFreshProfileStillReachesTheUsersServerAndPlays) {
  MoveFolders();
  EXPECT_FALSE(FallbackPulseServers().empty());
  ASSERT_TRUE(PulseServerAnswers(2000));
  EXPECT_EQ(ChooseSinkBackend(), SinkBackend::kPulse);
  PulseSink sink;
  std::vector<SinkDevice> devices;
  ASSERT_TRUE(sink.Enumerate(devices)) << sink.LastError();
  ASSERT_TRUE(sink.Open("", PcmFormat{48000, 2, 16, false}, 100)) << sink.LastError();
  const std::vector<uint8_t> silence(4800 * 4, 0);
  EXPECT_GT(sink.Write(silence.data(), silence.size()), 0) << sink.LastError();
  sink.Close();
}

TEST_F(PulseServerSearchTest, AServerTheUserNamesIsTheOnlyOneTried) {
  MoveFolders();
  SetEnv("PULSE_SERVER", "unix:" + (tmp_ / "run/no-server-here"));
  EXPECT_TRUE(FallbackPulseServers().empty());
  EXPECT_FALSE(PulseServerAnswers(1000));
}

}  // namespace
}  // namespace vk2
