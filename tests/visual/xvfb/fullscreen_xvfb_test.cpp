// The full-screen display on a real X server through SDL: it covers the display, shows the
// visual's frames, and the keys a user presses reach it (the right arrow steps the player, Esc
// ends it). The server is one of the test's own: a window covering the screen would hide the
// windows of the other end-to-end tests sharing the common virtual display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "foundation/util/result.h"
#include "oru/gui/loop/app_object.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "tests/support/tools.h"
#include "tests/visual/visual_test_support.h"
#include "visual/fullscreen/fullscreen_session.h"
#include "visual/fullscreen/sdl_fullscreen_backend.h"

namespace vk2::test {
namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

template <class Check>
bool WaitFor(Check check, int timeoutMs = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (check()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return check();
}

// An X server of this test alone, on the first free display number from a per-process start.
class PrivateXServer {
 public:
  PrivateXServer() {
    for (int attempt = 0; attempt < 20 && !x_; ++attempt) {
      name_ = ":" + std::to_string(300 + (getpid() + attempt * 7) % 600);
      pid_ = Spawn({"Xvfb", name_, "-screen", "0",
                    std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24",
                    "-nolisten", "tcp"});
      if (pid_ < 0) return;
      WaitFor([&] { return (x_ = XOpenDisplay(name_.c_str())) != nullptr; }, 3000);
      if (!x_) {
        StopSpawned(pid_);
        pid_ = -1;
      }
    }
  }
  ~PrivateXServer() {
    if (x_) XCloseDisplay(x_);
    if (pid_ > 0) StopSpawned(pid_);
  }
  Display* X() const { return x_; }
  const std::string& Name() const { return name_; }

  // The pixel at (x, y) of the screen, as 0xRRGGBB.
  uint32_t PixelAt(int x, int y) {
    XImage* image = XGetImage(x_, DefaultRootWindow(x_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFFu;
    const auto pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0));
    XDestroyImage(image);
    return pixel & 0xFFFFFFu;
  }

  // A top-level window with this title that is mapped, with its size; false when none.
  bool FindMapped(const char* title, int* width, int* height) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x_, DefaultRootWindow(x_), &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes;
      if (XFetchName(x_, children[i], &name) && name && std::string(name) == title &&
          XGetWindowAttributes(x_, children[i], &attributes) &&
          attributes.map_state == IsViewable) {
        *width = attributes.width;
        *height = attributes.height;
        found = true;
      }
      if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
  }

 private:
  std::string name_;
  pid_t pid_ = -1;
  Display* x_ = nullptr;
};

class FullscreenXvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HaveTool("Xvfb")) << "Xvfb not found; install the Debian package xvfb";
    ASSERT_TRUE(HaveTool("xdotool")) << "xdotool not found; install the Debian package xdotool";
    ASSERT_NE(server.X(), nullptr) << "no private X server could start";
    ASSERT_TRUE(SetEnv("DISPLAY", server.Name()));
    ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
    // The output plays behind what the tap has taken in, as in a running chain.
    f.Feed(2000);
    f.Hear(1500);
  }

  // Runs a display with `backend` until Esc: it covers the screen, shows the visual's frames,
  // and the keys pressed reach it.
  void RunDisplay(std::unique_ptr<SdlFullscreenBackend> backend) {
    ASSERT_TRUE(backend->Started());
    const std::vector<FullscreenMode> modes = backend->Modes(0);
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.front().width, kScreenWidth);
    EXPECT_EQ(modes.front().height, kScreenHeight);
    FullscreenSession session(RefPtr<MVisualHost>(f.host.Get()), std::move(backend), SystemClock(),
                              [&](const TString&) { return RefPtr<MPlayer>(f.player.Get()); });
    std::atomic<bool> ran{false};
    std::thread thread([&] { ran = session.Run(FullscreenRequest{}); });

    int width = 0;
    int height = 0;
    EXPECT_TRUE(WaitFor([&] { return server.FindMapped("FullscreenWindow", &width, &height); }));
    EXPECT_EQ(width, kScreenWidth);
    EXPECT_EQ(height, kScreenHeight);
    // The recorder paints red 0x10 over the whole image as audio is heard; its alpha byte 0
    // must not hide it.
    EXPECT_TRUE(WaitFor([&] {
      f.Feed(100);
      f.Hear(static_cast<int32_t>(heard += 100));
      return session.FramesRendered() > 2 &&
             (server.PixelAt(kScreenWidth / 2, kScreenHeight / 2) >> 16) == 0x10;
    })) << std::hex
        << server.PixelAt(kScreenWidth / 2, kScreenHeight / 2) << std::dec << " after "
        << session.FramesRendered()
        << " frames; the plug-in's diary: " << PluginLog("g1_recorder.vvp");

    // The pointer rests over the display, so the server's keyboard focus is there.
    EXPECT_TRUE(RunTool({"xdotool", "mousemove", "10", "10", "key", "Right"}));
    EXPECT_TRUE(WaitFor([&] {
      const auto diary = f.player->Diary();
      return std::find(diary.begin(), diary.end(), "next") != diary.end();
    })) << "the right arrow acts as the player's Next";

    EXPECT_TRUE(RunTool({"xdotool", "key", "Escape"}));
    const bool ended = WaitFor([&] { return ran.load(); });
    if (!ended) session.Stop();
    thread.join();
    EXPECT_TRUE(ended) << "Esc ends the display";
    EXPECT_TRUE(ran);
    EXPECT_FALSE(server.FindMapped("FullscreenWindow", &width, &height));
  }

  PrivateXServer server;
  HostFixture f;
  uint32_t heard = 1500;
};

TEST_F(FullscreenXvfbTest, AloneItOwnsSdlAndEndsOnEsc) {
  std::vector<FullscreenDevice> devices;
  ASSERT_TRUE(SdlFullscreenBackend::Displays(&devices));
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].id, Guid{}) << "the primary display keeps the id of no choice";
  RunDisplay(std::make_unique<SdlFullscreenBackend>());
}

TEST_F(FullscreenXvfbTest, BesideTheGuiLayerItsWindowLivesOnTheLoopThread) {
  // The GUI layer runs SDL on its loop thread, as in the program.
  ASSERT_TRUE(SetEnv("VK2_GUI_BACKEND", "sdl"));
  gui::AppObject& app = gui::AppObject::Instance();
  ASSERT_EQ(app.Launch(0, nullptr, nullptr, 0), 0);
  RefPtr<MOmbrixApp> loop(static_cast<MOmbrixApp*>(&app));
  std::vector<FullscreenDevice> devices;
  EXPECT_TRUE(SdlFullscreenBackend::Displays(&devices, loop));
  EXPECT_EQ(devices.size(), 1u);
  RunDisplay(std::make_unique<SdlFullscreenBackend>(loop));
  loop = nullptr;
  EXPECT_EQ(app.Shutdown(), 0);
}

}  // namespace
}  // namespace vk2::test
