// A script plays a playlist of generated files through the sound server (a null sink of the
// test's own) and its player callbacks report "SongStarted" once for each file.
#include <gtest/gtest.h>

#include <string>

#include "platform/audio/sink/pcm_sink.h"
#include "tests/core/e2e/pulse_server_pin.h"
#include "tests/core/script/support/script_harness.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

TEST(PlaylistPlaybackE2eTest, EverySongOfAScriptedPlaylistStartsItsCallback) {
  PinPulseServer();
  ASSERT_TRUE(PulseServerAnswers(2000)) << "no PulseAudio server (scripts/start-test-services.sh)";
  ASSERT_TRUE(HaveTool("sox"));
  PrivateNullSink sink(44100);
  ASSERT_TRUE(sink.Loaded()) << sink.Error();
  ScriptHarness harness("pulse");
  ASSERT_TRUE(harness.Start()) << harness.Error();
  const std::string a = "file://" + harness.MakeTone("a.wav", 440, 0.6);
  const std::string b = "file://" + harness.MakeTone("b.wav", 660, 0.6);
  const std::string c = "file://" + harness.MakeTone("c.wav", 880, 0.6);
  const ScriptOutcome setup = harness.Run(
      "playlists.AddPlaylist(\"default\"); players.AddPlayer(\"default\");"
      "playlists.default.AddItems({\"" +
      a + "\", \"" + b + "\", \"" + c +
      "\"});"
      "players.default.SetPlaylist(\"default\");"
      "players.default.RegisterCallback(\"SongStarted\", \"$i = players.default.GetInfo();"
      " console.write(\\\"started \\\" | $i[\\\"cursongindex\\\"]);\");"
      "return (players.default.Play());");
  ASSERT_EQ(setup.value, "Playing") << setup.console;
  EXPECT_TRUE(harness.WaitForConsole("started ", 3, 20000)) << harness.Console();
  EXPECT_NE(harness.Console().find("started 2"), std::string::npos) << harness.Console();
  harness.Run("players.default.Stop();");
}

}  // namespace
}  // namespace vk2::test
