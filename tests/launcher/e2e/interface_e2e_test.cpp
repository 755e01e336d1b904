// Each shipped interface used with the mouse: it opens as itself (not a fallback), is drawn in
// the mood's dark palette with its accent colour, and its transport buttons, clicked on the
// display, stop, play and pause the song heard in the sink.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/core/e2e/tone_runs.h"
#include "tests/launcher/e2e/player_e2e_fixture.h"
#include "tests/support/files.h"
#include "tests/support/monitor_recorder.h"

namespace vk2::test {
namespace {

constexpr double kTransportSongHz = 550;
constexpr int kTransportSongSeconds = 30;
constexpr uint32_t kWindowColour = 0x16181D;
constexpr uint32_t kAccentColour = 0x3FA7F5;

struct Point {
  int32_t x, y;
};

struct InterfaceCase {
  const char* name;
  const char* uniqueName;
  int32_t width, height;    // the main window's default size
  Point play, pause, stop;  // button centres in the main window
};

class InterfaceE2eTest : public PlayerE2eTest,
                         public ::testing::WithParamInterface<InterfaceCase> {};

TEST_P(InterfaceE2eTest, OpensAsItselfAndItsButtonsDriveThePlayer) {
  const InterfaceCase& c = GetParam();
  MakeSong(kTransportSongHz, kTransportSongSeconds, "song.wav");
  SeedBrintPreference("DefaultInterface", c.uniqueName);
  const ProgramRun player = Start({"song.wav"});
  ASSERT_TRUE(WaitForState(kPlaying)) << ReadTextFile(player.err);
  const std::string window = PaintedMainWindow(player.pid);
  ASSERT_FALSE(window.empty()) << "no window, or it stays blank; stderr:\n"
                               << ReadTextFile(player.err);
  const std::optional<WindowBox> box = Geometry(window);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->width, c.width) << "another interface opened in its place";
  EXPECT_EQ(box->height, c.height) << "another interface opened in its place";

  // Bars slide in after the first paint; the picture is taken, and the buttons clicked, once
  // the row of buttons stands still.
  const WindowBox buttons{c.play.x - 24, c.play.y - 14, c.stop.x - c.play.x + 48, 28};
  const std::string shot = SettledScreenshot(window, buttons, std::string(c.name) + "_main_window");
  ASSERT_FALSE(shot.empty()) << "the window never stands still";
  EXPECT_GT(ShareOfColour(shot, kWindowColour, 12), 0.2) << shot << ": not the dark palette";
  EXPECT_GT(ShareOfColour(shot, kAccentColour, 24), 0.002) << shot << ": no accent colour";

  ASSERT_TRUE(ClickAt(window, c.stop.x, c.stop.y));
  ASSERT_TRUE(WaitForState(kStopped)) << "the stop button did not stop";
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
  ASSERT_TRUE(ClickAt(window, c.play.x, c.play.y));
  ASSERT_TRUE(WaitForState(kPlaying)) << "the play button did not play";
  std::this_thread::sleep_for(std::chrono::seconds(3));
  ASSERT_TRUE(ClickAt(window, c.pause.x, c.pause.y));
  ASSERT_TRUE(WaitForState(kPaused)) << "the pause button did not pause";
  const std::vector<ToneRun> runs =
      FindToneRuns(recorder.Stop(), kSinkRate, kSinkChannels, {kTransportSongHz});
  const double heard = SecondsOf(runs);
  EXPECT_GT(heard, 2.0) << "the song was not heard between play and pause: " << DescribeRuns(runs);
  Screenshot(window, std::string(c.name) + "_paused");
  Quit(player);
  EXPECT_NE(ReadTextFile(PreferencesPath()).find(c.uniqueName), std::string::npos)
      << "the interface kept as the default is not the one asked for";
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, InterfaceE2eTest,
    ::testing::Values(
        InterfaceCase{
            "default", "velkora2/default_skin/1.0", 640, 460, {75, 413}, {118, 413}, {158, 413}},
        InterfaceCase{
            "minimal", "velkora2/minimal_skin/1.0", 360, 132, {68, 105}, {106, 105}, {144, 105}}),
    [](const ::testing::TestParamInfo<InterfaceCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vk2::test
