// The default interface on a fresh start, used with the mouse: it opens (not the fallback), its
// navigation bar brings each page into the display, and a band dragged on the equalizer page
// is kept among the settings; bands lowered there quieten the song they cover, and the
// balance bar moves the sound to one side; the console page's prompt shows what is typed and
// runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/launcher/e2e/player_e2e_fixture.h"
#include "tests/support/files.h"
#include "tests/support/golden_image.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/program_runs.h"

namespace vk2::test {
namespace {

constexpr char kDefaultInterface[] = "velkora2/default_skin/1.0";
// The display's fill area of the 640 x 460 main window, between the bars.
constexpr int32_t kFillTop = 60;
constexpr int32_t kFillBottom = 320;
constexpr WindowBox kFillArea{0, kFillTop, 640, kFillBottom - kFillTop};
// The play bar's buttons and bars (its texts change while a song plays).
constexpr WindowBox kPlayBarControls{0, 395, 640, 36};
constexpr uint32_t kPanelColour = 0x1F232B;
// Where the console's and the equalizer's own texts stand, drawn in white with the interface's
// font: the newest lines of the console, the row of the bands' labels.
constexpr uint32_t kTextColour = 0xFFFFFF;
constexpr WindowBox kConsoleLines{0, 150, 320, 150};
constexpr WindowBox kEqualizerLabels{16, 244, 608, 20};
// Inside the console's command entry, along the bottom of the fill area.
constexpr WindowBox kConsoleEntryLine{40, 300, 560, 17};
// An empty entry shows at most its caret, one pixel wide.
constexpr double kEmptyEntry = 0.002;

// How many pixels of the fill area differ between two pictures of the window.
int64_t FillAreaChanges(const std::string& before, const std::string& after) {
  const RgbaImage a = ReadPngImage(before);
  const RgbaImage b = ReadPngImage(after);
  if (a.Empty() || a.width != b.width || a.height != b.height) return -1;
  int64_t changed = 0;
  for (int32_t y = kFillTop; y < std::min(kFillBottom, a.height); ++y) {
    for (int32_t x = 0; x < a.width; ++x) {
      const size_t at = (static_cast<size_t>(y) * a.width + x) * 4;
      for (int c = 0; c < 3; ++c) {
        if (std::abs(a.rgba[at + c] - b.rgba[at + c]) > 16) {
          ++changed;
          break;
        }
      }
    }
  }
  return changed;
}

// Drags within the window with the left button held, as a user drags.
bool DragIn(const WindowBox& box, int32_t x, int32_t y, int32_t toX, int32_t toY) {
  return RunTool({"xdotool", "mousemove", "--sync", std::to_string(box.x + x),
                  std::to_string(box.y + y), "mousedown", "1", "mousemove", "--sync",
                  std::to_string(box.x + toX), std::to_string(box.y + toY), "mouseup", "1"});
}

TEST_F(PlayerE2eTest, TheDefaultInterfaceOpensOnAFreshStartAndItsPagesComeFromTheNavigationBar) {
  MakeSong(440, 20, "song.wav");
  ProgramRun player;
  std::string window;
  ASSERT_NO_FATAL_FAILURE(StartPlaying("song.wav", &player, &window));
  const std::optional<WindowBox> box = Geometry(window);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->width, 640) << "the default interface's main window did not open";
  EXPECT_EQ(box->height, 460);
  std::string previous = SettledScreenshot(window, kFillArea, "default_page_start");
  ASSERT_FALSE(previous.empty()) << "the window never stands still";

  struct Page {
    const char* name;
    int32_t x;  // the navigation button's centre; all sit at y 40
  };
  for (const Page& page : {Page{"equalizer", 140}, Page{"visuals", 230}, Page{"settings", 320},
                           Page{"console", 410}, Page{"playlist", 50}}) {
    ASSERT_TRUE(ClickAt(window, page.x, 40)) << page.name;
    // The page has come once the fill area has changed and stands still.
    const std::string shot = SettledScreenshot(
        window, kFillArea, std::string("default_page_") + page.name,
        [&](const std::string& now) { return FillAreaChanges(previous, now) > 2000; });
    ASSERT_FALSE(shot.empty()) << page.name << ": the page did not change, or never stood still";
    if (std::string(page.name) == "settings") {
      // The first pane draws on the mood's panel colour, which its document names.
      EXPECT_GT(ShareOfColourIn(shot, WindowBox{20, 100, 380, 200}, kPanelColour, 3), 0.5)
          << shot << ": the pane is not drawn with the mood's styles";
    }
    if (std::string(page.name) == "console") {
      // The start's lines, white, stand above the command entry.
      EXPECT_GT(ShareOfColourIn(shot, kConsoleLines, kTextColour, 40), 0.01)
          << shot << ": the console draws no lines";
    } else if (std::string(page.name) == "equalizer") {
      EXPECT_GT(ShareOfColourIn(shot, kEqualizerLabels, kTextColour, 40), 0.02)
          << shot << ": the bands have no labels";
    }
    previous = shot;
  }

  // A band of the equalizer dragged upwards is stored, and so is the interface.
  ASSERT_TRUE(ClickAt(window, 140, 40));
  ASSERT_FALSE(SettledScreenshot(window, kFillArea, "default_page_equalizer_again").empty());
  ASSERT_TRUE(DragIn(*box, 100, 200, 100, 110));
  EXPECT_FALSE(SettledScreenshot(window, kFillArea, "default_page_equalizer_dragged").empty());
  Quit(player);
  const std::string preferences = ReadTextFile(PreferencesPath());
  EXPECT_NE(preferences.find(kDefaultInterface), std::string::npos);
  const size_t gains = preferences.find("name=\"Gain\"");
  ASSERT_NE(gains, std::string::npos) << "no equalizer gains stored";
  const size_t end = preferences.find("</value>", gains);
  const std::string list = preferences.substr(gains, end - gains);
  EXPECT_NE(list.find("<item>0."), std::string::npos) << "no band was raised: " << list;
}

// The level of one channel of an interleaved stereo recording.
double ChannelLevel(const std::vector<int16_t>& samples, size_t channel) {
  double sum = 0;
  size_t count = 0;
  for (size_t i = channel; i < samples.size(); i += kSinkChannels) {
    sum += static_cast<double>(samples[i]) * samples[i];
    ++count;
  }
  return count == 0 ? 0 : std::sqrt(sum / static_cast<double>(count));
}

TEST_F(PlayerE2eTest, TheBalanceBarOfTheDefaultInterfaceMovesTheSoundToOneSide) {
  MakeSong(440, 30, "song.wav");
  ProgramRun player;
  std::string window;
  ASSERT_NO_FATAL_FAILURE(StartPlaying("song.wav", &player, &window));
  ASSERT_FALSE(SettledScreenshot(window, kPlayBarControls, "default_balance_before").empty());
  // The balance bar's right end, in the play bar above the status bar.
  ASSERT_TRUE(ClickAt(window, 623, 423));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  Screenshot(window, "default_balance_right");
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const std::vector<int16_t> samples = recorder.Stop();
  const double left = ChannelLevel(samples, 0);
  const double right = ChannelLevel(samples, 1);
  EXPECT_GT(std::max(left, right), 1000.0) << "nothing heard";
  EXPECT_GT(std::max(left, right), 4 * std::min(left, right))
      << "both channels alike: left " << left << ", right " << right;
  Quit(player);
  EXPECT_NE(ReadTextFile(PreferencesPath()).find("name=\"balance\""), std::string::npos);
}

TEST_F(PlayerE2eTest, BandsLoweredOnTheEqualizerPageQuietenTheSongTheyCover) {
  MakeSong(440, 30, "song.wav");
  ProgramRun player;
  std::string window;
  ASSERT_NO_FATAL_FAILURE(StartPlaying("song.wav", &player, &window));
  const std::optional<WindowBox> box = Geometry(window);
  ASSERT_TRUE(box);
  ASSERT_FALSE(SettledScreenshot(window, kPlayBarControls, "default_equalizer_before").empty());
  double before = 0;
  {
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    before = ChannelLevel(recorder.Stop(), 0);
  }
  ASSERT_GT(before, 1000.0) << "nothing heard";
  ASSERT_TRUE(ClickAt(window, 140, 40));
  ASSERT_FALSE(SettledScreenshot(window, kFillArea, "default_equalizer_page").empty());
  // The bands either side of 440 Hz (the 8th and 9th of the twenty), each dragged to the
  // bottom of the band area.
  for (int32_t x : {248, 277}) {
    ASSERT_TRUE(DragIn(*box, x, 190, x, 300));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  Screenshot(window, "default_equalizer_lowered");
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double after = ChannelLevel(recorder.Stop(), 0);
  EXPECT_LT(after, 0.7 * before) << "before " << before << ", after " << after;
  Quit(player);
}

TEST_F(PlayerE2eTest, TheConsolePagesPromptShowsWhatIsTypedAndRunsItOnEnter) {
  const ProgramRun player = Start({});
  const std::string window = PaintedMainWindow(player.pid);
  ASSERT_FALSE(window.empty()) << ReadTextFile(player.err);
  const std::string start = SettledScreenshot(window, kFillArea, "default_console_start");
  ASSERT_FALSE(start.empty()) << "the window never stands still";
  ASSERT_TRUE(ClickAt(window, 410, 40));
  const std::string page =
      SettledScreenshot(window, kFillArea, "default_console_page",
                        [&](const std::string& now) { return FillAreaChanges(start, now) > 2000; });
  ASSERT_FALSE(page.empty()) << "the console page did not come";
  EXPECT_LT(ShareOfColourIn(page, kConsoleEntryLine, kTextColour, 40), kEmptyEntry)
      << page << ": the empty entry shows text";

  ASSERT_TRUE(ClickAt(window, 320, kConsoleEntryLine.y + kConsoleEntryLine.height / 2));
  // The entry's caret blinks, so the window never stands still: pictures are taken until one
  // shows what is awaited.
  const auto shotWhen = [&](const std::string& name,
                            const std::function<bool(const std::string&)>& shows) {
    std::string shot;
    const bool seen = WaitUntil(
        kPlayerPatienceMs,
        [&] {
          shot = Screenshot(window, name);
          return !shot.empty() && shows(shot);
        },
        200);
    return seen ? shot : std::string();
  };
  ASSERT_TRUE(RunTool({"xdotool", "type", "--delay", "30", "1000*1000+2000*3000"}));
  const std::string typed = shotWhen("default_console_typed", [&](const std::string& now) {
    return ShareOfColourIn(now, kConsoleEntryLine, kTextColour, 40) > 3 * kEmptyEntry;
  });
  ASSERT_FALSE(typed.empty()) << "what was typed does not show in the entry";

  ASSERT_TRUE(RunTool({"xdotool", "key", "Return"}));
  // The entry empties and the result comes as the newest line above it.
  const std::string ran = shotWhen("default_console_ran", [&](const std::string& now) {
    return ShareOfColourIn(now, kConsoleEntryLine, kTextColour, 40) < kEmptyEntry &&
           FillAreaChanges(typed, now) > 100;
  });
  EXPECT_FALSE(ran.empty()) << "the entered line was not run";
  Quit(player);
}

}  // namespace
}  // namespace vk2::test
