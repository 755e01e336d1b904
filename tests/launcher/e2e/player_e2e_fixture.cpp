#include "tests/launcher/e2e/player_e2e_fixture.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/audio/sink/pcm_sink.h"
#include "platform/environment.h"
#include "platform/instance/message_window.h"
#include "tests/support/files.h"
#include "tests/support/golden_image.h"
#include "tests/support/tools.h"

namespace vk2::test {

void PlayerE2eTest::SetUp() {
  ASSERT_TRUE(display_.Ready()) << "no X display of the test's own (Xvfb)";
  ASSERT_TRUE(PulseServerAnswers(2000)) << "no PulseAudio server (scripts/start-test-services.sh)";
  for (const char* tool : {"sox", "parec", "xdotool", "import", "Xvfb"})
    ASSERT_TRUE(HaveTool(tool)) << tool;
  ASSERT_TRUE(sink_.Loaded()) << sink_.Error();
  for (const char* folder : {"run", "config", "state", "cache", "work"})
    ::mkdir((tmp_ / folder).c_str(), 0700);
  SetEnv("XDG_RUNTIME_DIR", tmp_ / "run");
  SetEnv("XDG_CONFIG_HOME", tmp_ / "config");
  SetEnv("XDG_STATE_HOME", tmp_ / "state");
  SetEnv("XDG_CACHE_HOME", tmp_ / "cache");
  SetEnv("DISPLAY", display_.Name());
  SetEnv("VK2_NONINTERACTIVE", "1");
}

void PlayerE2eTest::MakeSong(double hz, int seconds, const std::string& name, uint32_t rate,
                             uint32_t channels, uint32_t bits) {
  ASSERT_TRUE(
      RunTool({"sox", "-n", "-r", std::to_string(rate), "-c", std::to_string(channels), "-b",
               std::to_string(bits), tmp_ / ("work/" + name), "synth", std::to_string(seconds),
               "sine", std::to_string(static_cast<int>(hz)), "vol", "0.5"}));
}

ProgramRun PlayerE2eTest::Start(const std::vector<std::string>& args, const std::string& program) {
  ProgramRun run = runs_.Start(program, args);
  EXPECT_GT(run.pid, 0) << program;
  return run;
}

ProgramRun PlayerE2eTest::StartPlayer(const std::vector<std::string>& args) {
  ProgramRun first = Start(args);
  EXPECT_TRUE(WaitUntil(kPlayerPatienceMs, [&] {
    return Message(kPlaylistCountMessage).has_value();
  })) << ReadTextFile(first.err);
  EXPECT_TRUE(WaitUntil(kPlayerPatienceMs, [&] { return !VisibleWindows(first.pid).empty(); }))
      << "no window on the display; stderr:\n"
      << ReadTextFile(first.err);
  return first;
}

void PlayerE2eTest::Quit(const ProgramRun& player) {
  ::kill(player.pid, SIGTERM);
  EXPECT_TRUE(ExitedWithZero(runs_.WaitExit(player, kPlayerPatienceMs)))
      << ReadTextFile(player.err);
}

std::optional<int64_t> PlayerE2eTest::Message(uint32_t message) {
  auto link = instance::WindowLink::Find("Velkora Window Class", "Velkora2");
  if (!link) return std::nullopt;
  return link->Send(message, 0, 0, {}, kPlayerPatienceMs);
}

std::vector<std::string> PlayerE2eTest::VisibleWindows(pid_t pid) {
  const std::string listing = tmp_ / "windows";
  test::Run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)}, listing);
  std::vector<std::string> ids;
  std::istringstream in(ReadTextFile(listing));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) ids.push_back(line);
  }
  return ids;
}

void PlayerE2eTest::StartPlaying(const std::string& song, ProgramRun* player, std::string* window) {
  *player = Start({song});
  ASSERT_TRUE(WaitForState(kPlaying)) << ReadTextFile(player->err);
  *window = PaintedMainWindow(player->pid);
  ASSERT_FALSE(window->empty()) << ReadTextFile(player->err);
}

std::string PlayerE2eTest::PaintedMainWindow(pid_t pid) {
  std::string painted;
  WaitUntil(kPlayerPatienceMs, [&] {
    const std::vector<std::string> windows = VisibleWindows(pid);
    if (windows.empty()) return false;
    const std::string shot = Screenshot(windows.front(), "first_paint");
    if (shot.empty() || Spread(shot) <= 0.01) return false;
    painted = windows.front();
    return true;
  });
  return painted;
}

std::optional<WindowBox> PlayerE2eTest::Geometry(const std::string& window) {
  const std::string out = tmp_ / "geometry";
  if (test::Run({"xdotool", "getwindowgeometry", "--shell", window}, out) != 0) return std::nullopt;
  WindowBox box;
  std::istringstream in(ReadTextFile(out));
  int found = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int32_t value = std::atoi(line.c_str() + eq + 1);
    int32_t* field = key == "X"        ? &box.x
                     : key == "Y"      ? &box.y
                     : key == "WIDTH"  ? &box.width
                     : key == "HEIGHT" ? &box.height
                                       : nullptr;
    if (field) {
      *field = value;
      ++found;
    }
  }
  if (found != 4) return std::nullopt;
  return box;
}

bool PlayerE2eTest::ClickAt(const std::string& window, int32_t x, int32_t y) {
  const std::optional<WindowBox> box = Geometry(window);
  if (!box) return false;
  return RunTool({"xdotool", "mousemove", "--sync", std::to_string(box->x + x),
                  std::to_string(box->y + y), "click", "1"});
}

std::string PlayerE2eTest::Screenshot(const std::string& window, const std::string& name) {
  std::error_code ignored;
  std::filesystem::create_directories(VK2_TEST_ARTEFACTS, ignored);
  const std::string path = std::string(VK2_TEST_ARTEFACTS) + "/" + name + ".png";
  if (!RunTool({"import", "-display", *GetEnv("DISPLAY"), "-window", window, path})) return "";
  return path;
}

namespace {

// The pixels of the part `area` of a picture, row by row; empty when there is no picture.
std::vector<uint8_t> AreaPixels(const std::string& png, const WindowBox& area) {
  const RgbaImage image = ReadPngImage(png);
  std::vector<uint8_t> pixels;
  if (image.Empty()) return pixels;
  const int32_t right = std::min(image.width, area.x + area.width);
  const int32_t bottom = std::min(image.height, area.y + area.height);
  for (int32_t y = std::max(0, area.y); y < bottom; ++y) {
    for (int32_t x = std::max(0, area.x); x < right; ++x) {
      const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
      pixels.insert(pixels.end(), p, p + 3);
    }
  }
  return pixels;
}

}  // namespace

std::string PlayerE2eTest::SettledScreenshot(const std::string& window, const WindowBox& area,
                                             const std::string& name,
                                             const std::function<bool(const std::string&)>& ready) {
  std::string shot;
  std::vector<uint8_t> before;
  const bool settled = WaitUntil(
      kPlayerPatienceMs,
      [&] {
        shot = Screenshot(window, name);
        std::vector<uint8_t> now = shot.empty() ? std::vector<uint8_t>() : AreaPixels(shot, area);
        const bool alike = !now.empty() && now == before;
        bool shows = false;
        if (alike && ready) {
          shows = ready(shot);
        } else if (alike) {
          // An area of one colour has not been drawn yet (the pages slide in after a while).
          shows = std::any_of(now.begin(), now.end(), [&](uint8_t v) {
            return std::abs(static_cast<int32_t>(v) - now.front()) > 32;
          });
        }
        before = std::move(now);
        return shows;
      },
      400);
  return settled ? shot : std::string();
}

void PlayerE2eTest::SeedBrintPreference(const std::string& name, const std::string& value) {
  ::mkdir((tmp_ / "config/velkora2").c_str(), 0700);
  std::ofstream out(PreferencesPath(), std::ios::trunc);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<preferences version=\"1\">\n"
      << "<section name=\"velkora\"><section name=\"gui\"><section name=\"brint\">\n"
      << "<value name=\"" << name << "\" type=\"string\">" << value << "</value>\n"
      << "</section></section></section>\n</preferences>\n";
}

double ShareOfColour(const std::string& png, uint32_t rgb, int32_t slack) {
  return ShareOfColourIn(png, WindowBox{0, 0, 1 << 20, 1 << 20}, rgb, slack);
}

double ShareOfColourIn(const std::string& png, const WindowBox& area, uint32_t rgb, int32_t slack) {
  const RgbaImage image = ReadPngImage(png);
  if (image.Empty()) return 0;
  const int32_t want[3] = {static_cast<int32_t>(rgb >> 16 & 0xFF),
                           static_cast<int32_t>(rgb >> 8 & 0xFF), static_cast<int32_t>(rgb & 0xFF)};
  const int32_t right = std::min(image.width, area.x + area.width);
  const int32_t bottom = std::min(image.height, area.y + area.height);
  int64_t near = 0, count = 0;
  for (int32_t y = std::max(0, area.y); y < bottom; ++y) {
    for (int32_t x = std::max(0, area.x); x < right; ++x) {
      const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
      bool close = true;
      for (int c = 0; c < 3; ++c)
        close = close && std::abs(p[c] - want[c]) <= slack;
      near += close ? 1 : 0;
      ++count;
    }
  }
  return count == 0 ? 0 : static_cast<double>(near) / static_cast<double>(count);
}

double Spread(const std::string& png) {
  const RgbaImage image = ReadPngImage(png);
  if (image.Empty()) return 0;
  double sum = 0, squares = 0;
  const size_t values = image.rgba.size() / 4 * 3;
  for (size_t i = 0; i < image.rgba.size(); ++i) {
    if (i % 4 == 3) continue;
    const double v = image.rgba[i] / 255.0;
    sum += v;
    squares += v * v;
  }
  const double mean = sum / static_cast<double>(values);
  return std::sqrt(std::max(0.0, squares / static_cast<double>(values) - mean * mean));
}

}  // namespace vk2::test
