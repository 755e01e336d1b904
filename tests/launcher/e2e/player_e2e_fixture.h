// velkora2 as a user starts it: the real launcher, runtime, modules and shipped interfaces, on
// an X display of the test's own, playing into a PulseAudio null sink of the test's own whose
// monitor the test can record. Each test has its own per-user folders, so instances of parallel
// tests never meet, and no other program's window covers the one the test clicks and pictures.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/core/e2e/pulse_server_pin.h"
#include "tests/support/private_display.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/program_runs.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {

inline constexpr int kPlayerPatienceMs = 90'000;  // sanitized modules start slowly
inline constexpr uint32_t kSinkRate = 48000;
inline constexpr uint32_t kSinkChannels = 2;
// Window messages the running player answers.
inline constexpr uint32_t kPlayerStateMessage = 0x9002;  // 0 playing, 1 paused, 2 stopped
inline constexpr uint32_t kPlaylistCountMessage = 0x9004;
inline constexpr int64_t kPlaying = 0;
inline constexpr int64_t kPaused = 1;
inline constexpr int64_t kStopped = 2;

struct WindowBox {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

class PlayerE2eTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // A sine of `seconds` in the work folder, 16-bit at the sink's rate and channels unless told.
  void MakeSong(double hz, int seconds, const std::string& name, uint32_t rate = kSinkRate,
                uint32_t channels = kSinkChannels, uint32_t bits = 16);
  // Starts a program in the work folder, as a user's shell would.
  ProgramRun Start(const std::vector<std::string>& args,
                   const std::string& program = VK2_TEST_VELKORA2);
  // The player's first instance, up with its main window shown.
  ProgramRun StartPlayer(const std::vector<std::string>& args);
  // The player started on `song` of the work folder, playing, and its main window once
  // painted; a fatal failure when either does not come.
  void StartPlaying(const std::string& song, ProgramRun* player, std::string* window);
  // SIGTERM ends the player as closing its last window does: it shuts down and exits with 0.
  void Quit(const ProgramRun& player);

  std::optional<int64_t> Message(uint32_t message);
  bool WaitForState(int64_t state) {
    return WaitUntil(kPlayerPatienceMs, [&] { return Message(kPlayerStateMessage) == state; });
  }

  // The visible top-level windows of a process on the display (xdotool reads _NET_WM_PID).
  std::vector<std::string> VisibleWindows(pid_t pid);
  // The main window: the first visible one, once it shows more than one flat colour (a window
  // is mapped before it first paints). Empty when none comes.
  std::string PaintedMainWindow(pid_t pid);
  std::optional<WindowBox> Geometry(const std::string& window);
  // A press and release of the left button at a point of the window, as a user clicks.
  bool ClickAt(const std::string& window, int32_t x, int32_t y);
  // A picture of the window kept among the build's test artefacts; empty when none was taken.
  std::string Screenshot(const std::string& window, const std::string& name);
  // The same, once the part `area` of the window looks alike in two pictures a moment apart
  // (pages have slid into place and fades have ended) and the picture is `ready` (by default:
  // the area shows more than one colour, as pages slide in only a while after the first paint).
  // Empty when it never settles.
  std::string SettledScreenshot(const std::string& window, const WindowBox& area,
                                const std::string& name,
                                const std::function<bool(const std::string&)>& ready = {});

  // The per-user preference file, and one string of it written before the first start.
  std::string PreferencesPath() const { return tmp_ / "config/velkora2/prefs.xml"; }
  void SeedBrintPreference(const std::string& name, const std::string& value);

  ScopedEnvironment environment_{
      "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME",     "XDG_CACHE_HOME",   "DISPLAY",
      "ORU_SHARED_PATH", "VK2_GUI_BACKEND", "VK2_NONINTERACTIVE", "VK2_AUDIO_BACKEND"};
  PulseServerPin pin_;
  PrivateNullSink sink_{kSinkRate};
  PrivateDisplay display_;
  TempFolder tmp_;
  ProgramRuns runs_{tmp_.Path(), tmp_ / "work"};
};

// How far an image, or the part `area` of it, keeps to a palette: the share of its pixels
// within `slack` of `rgb` (0xRRGGBB) in every channel.
double ShareOfColour(const std::string& png, uint32_t rgb, int32_t slack);
double ShareOfColourIn(const std::string& png, const WindowBox& area, uint32_t rgb, int32_t slack);
// The spread of an image's pixel values: 0 for one flat colour or no image.
double Spread(const std::string& png);

}  // namespace vk2::test
