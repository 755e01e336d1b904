// The SDL backend on a real X server (Xvfb, from scripts/services.d/xvfb.sh): a shaped host
// maps where asked with the X shape of its region, an xdotool click reaches the part under it,
// and our dump of a host agrees with ImageMagick's screenshot of the screen; a menu drops down
// as a window of its own where asked and an xdotool click chooses from it; files dropped by
// another program (XDND) reach the part under the point as one list.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "oru/gui/loop/app_object.h"
#include "oru/gui/menus/menu_item.h"
#include "oru/gui/menus/menu_window.h"
#include "platform/environment.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

// X errors our own connection saw (the default handler would end the process).
int xErrors = 0;

template <class Check>
bool WaitFor(Check check, int timeoutMs = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (check()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return check();
}

// Drops `uriList` (text/uri-list) on the window `target` at the screen point (x, y) as another
// program's drag would, through the XDND protocol; answers whether the target finished it.
bool DropOnto(Display* x, ::Window target, int px, int py, const std::string& uriList) {
  auto atom = [x](const char* name) { return XInternAtom(x, name, False); };
  const Atom enter = atom("XdndEnter");
  const Atom position = atom("XdndPosition");
  const Atom status = atom("XdndStatus");
  const Atom drop = atom("XdndDrop");
  const Atom finished = atom("XdndFinished");
  const Atom selection = atom("XdndSelection");
  const Atom uriType = atom("text/uri-list");
  const Atom copy = atom("XdndActionCopy");
  const ::Window source = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(x, source, PropertyChangeMask);
  XSetSelectionOwner(x, selection, source, CurrentTime);
  auto send = [&](Atom type, long l1, long l2, long l3, long l4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(source);
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(x, target, False, NoEventMask, &e);
    XFlush(x);
  };
  send(enter, 5L << 24, static_cast<long>(uriType), 0, 0);
  send(position, 0, (static_cast<long>(px) << 16) | py, CurrentTime, static_cast<long>(copy));
  bool accepted = false;
  bool done = false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done && std::chrono::steady_clock::now() < end) {
    if (!XPending(x)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    XEvent e;
    XNextEvent(x, &e);
    if (e.type == ClientMessage && e.xclient.message_type == status && !accepted) {
      accepted = true;
      send(drop, 0, CurrentTime, 0, 0);
    } else if (e.type == SelectionRequest) {
      // The target asks for the dragged data: the uri list, into the property it names.
      XSelectionRequestEvent& request = e.xselectionrequest;
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = request.requestor;
      reply.xselection.selection = request.selection;
      reply.xselection.target = request.target;
      reply.xselection.time = request.time;
      reply.xselection.property = None;
      if (request.target == uriType) {
        XChangeProperty(x, request.requestor, request.property, uriType, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uriList.data()),
                        static_cast<int>(uriList.size()));
        reply.xselection.property = request.property;
      }
      XSendEvent(x, request.requestor, False, NoEventMask, &reply);
      XFlush(x);
    } else if (e.type == ClientMessage && e.xclient.message_type == finished) {
      done = true;
    }
  }
  XDestroyWindow(x, source);
  XFlush(x);
  return done;
}

class XvfbWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> display = GetEnv("VK2_TEST_DISPLAY");
    // A test that cannot run fails: CI starts the display for every e2e test.
    ASSERT_TRUE(display) << "VK2_TEST_DISPLAY is unset: start scripts/services.d/xvfb.sh";
    display_ = *display;
    SetEnv("DISPLAY", display_);
    SetEnv("VK2_GUI_BACKEND", "sdl");
    XSetErrorHandler([](Display*, XErrorEvent* e) {
      ++xErrors;
      std::fprintf(stderr, "X error %d on %lx request %d\n", e->error_code, e->resourceid,
                   e->request_code);
      return 0;
    });
    // The display is shared with other test runs: a refused connection is tried again.
    WaitFor([&] { return (x_ = XOpenDisplay(display_.c_str())) != nullptr; });
    ASSERT_NE(x_, nullptr);
    ASSERT_EQ(app_.Launch(0, nullptr, nullptr, 0), 0);
    launched_ = true;
  }
  void TearDown() override {
    if (!launched_) {
      if (x_) XCloseDisplay(x_);
      return;
    }
    RunOnLoop(app_, [&] {
      parts_.clear();
      hosts_.clear();
    });
    EXPECT_EQ(app_.Shutdown(), 0);
    if (x_) XCloseDisplay(x_);
    EXPECT_EQ(xErrors, 0);
  }

  // A shown host at `rect` with `root` as its tree; answers the X window.
  uint64_t Show(RecordingPart* root, const RectI& rect) {
    uint64_t xid = 0;
    RunOnLoop(app_, [&] {
      MHostWindow* host = nullptr;
      ASSERT_EQ(app_.CreateHost(&host), 0);
      hosts_.push_back(RefPtr<MHostWindow>::Adopt(host));
      root->SetLocation(PointI{rect.left, rect.top});
      root->SetSize(SizeI{rect.Width(), rect.Height()});
      ASSERT_EQ(host->SetRoot(root->Self()), 0);
      xid = app_.Loop()->Backend().NativeHandle(
          static_cast<HostWindowObject*>(host)->BackendWindow());
    });
    EXPECT_NE(xid, 0u) << "not the SDL backend on X11";

    EXPECT_TRUE(WaitFor([&] {
      XWindowAttributes attributes;
      return XGetWindowAttributes(x_, xid, &attributes) && attributes.map_state == IsViewable;
    }));
    return xid;
  }
  int Run(const std::string& command) {
    return std::system(("DISPLAY=" + display_ + " " + command).c_str());
  }

  AppObject& app_ = AppObject::Instance();
  std::string display_;
  Display* x_ = nullptr;
  bool launched_ = false;
  std::vector<RefPtr<MHostWindow>> hosts_;
  std::vector<RefPtr<RecordingPart>> parts_;
};

TEST_F(XvfbWindowTest, MonitorsListTheScreen) {
  std::vector<Monitor> monitors;
  RunOnLoop(app_, [&] { monitors = app_.Loop()->Backend().Monitors(); });
  ASSERT_EQ(monitors.size(), 1u) << "Xvfb runs one screen";
  EXPECT_TRUE(monitors[0].primary);
  EXPECT_FALSE(monitors[0].name.empty());
  EXPECT_EQ(monitors[0].bounds, (RectI{0, 0, DisplayWidth(x_, DefaultScreen(x_)),
                                       DisplayHeight(x_, DefaultScreen(x_))}));
  EXPECT_FALSE(monitors[0].usable.Empty());
}

TEST_F(XvfbWindowTest, ShapedWindowMapsWhereAskedAndItsShapeIsTheRegion) {
  RefPtr<RecordingPart> root = RecordingPart::Make(0xFF30A030);
  root->leftHalfRegion = true;
  parts_.push_back(root);
  const uint64_t xid = Show(root.Get(), RectI{50, 60, 170, 140});
  int x = -1;
  int y = -1;
  ::Window child = 0;
  EXPECT_TRUE(WaitFor([&] {
    XTranslateCoordinates(x_, xid, DefaultRootWindow(x_), 0, 0, &x, &y, &child);
    return x == 50 && y == 60;
  }));
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 60);
  int count = 0;
  int ordering = 0;
  XRectangle* rects = XShapeGetRectangles(x_, xid, ShapeBounding, &count, &ordering);
  ASSERT_NE(rects, nullptr);
  long area = 0;
  int right = 0;
  for (int i = 0; i < count; ++i) {
    area += static_cast<long>(rects[i].width) * rects[i].height;
    right = std::max(right, rects[i].x + rects[i].width);
  }
  XFree(rects);
  EXPECT_EQ(area, 60 * 80);
  EXPECT_EQ(right, 60);
}

TEST_F(XvfbWindowTest, XdotoolClickReachesThePartUnderIt) {
  RefPtr<RecordingPart> root = RecordingPart::Make(0xFF202020);
  RefPtr<RecordingPart> button = RecordingPart::Make(0xFFE0E0E0);
  parts_.push_back(root);
  parts_.push_back(button);
  RunOnLoop(app_, [&] {
    button->SetLocation(PointI{20, 20});
    button->SetSize(SizeI{40, 40});
    root->AttachChild(button->Self(), kPlaceModeTop);
  });
  Show(root.Get(), RectI{300, 100, 400, 200});
  ASSERT_EQ(Run("xdotool mousemove --sync 330 130 click 1"), 0);
  int32_t clicks = 0;
  EXPECT_TRUE(WaitFor([&] {
    RunOnLoop(app_, [&] { clicks = button->CountNotes(kNotifyClick); });
    return clicks == 1;
  }));
  RunOnLoop(app_, [&] {
    ASSERT_EQ(button->CountQueries(kQueryLeftDown), 1);
    EXPECT_EQ(root->CountNotes(kNotifyClick), 0);
  });
}

TEST_F(XvfbWindowTest, DumpAgreesWithAScreenshotOfTheScreen) {
  RefPtr<RecordingPart> root = RecordingPart::Make(0xFFC03020);
  RefPtr<RecordingPart> inner = RecordingPart::Make(0xFF2040C0);
  parts_.push_back(root);
  parts_.push_back(inner);
  RunOnLoop(app_, [&] {
    inner->SetLocation(PointI{10, 8});
    inner->SetSize(SizeI{25, 20});
    root->AttachChild(inner->Self(), kPlaceModeTop);
  });
  Show(root.Get(), RectI{600, 400, 660, 440});
  const std::string ours = ::testing::TempDir() + "/vk2_xvfb_ours.png";
  const std::string shot = ::testing::TempDir() + "/vk2_xvfb_shot.png";
  RunOnLoop(app_, [&] { EXPECT_EQ(hosts_.back()->DumpPng(ours.c_str()), 0); });
  int w1 = 0, h1 = 0, w2 = 0, h2 = 0, n = 0;
  unsigned char* a = stbi_load(ours.c_str(), &w1, &h1, &n, 3);
  ASSERT_NE(a, nullptr);
  int mismatched = -1;
  EXPECT_TRUE(WaitFor([&] {
    if (Run("import -window root -crop 60x40+600+400 +repage " + shot) != 0) return false;
    unsigned char* b = stbi_load(shot.c_str(), &w2, &h2, &n, 3);
    if (!b) return false;
    mismatched = 0;
    for (int i = 0; i < w1 * h1 * 3 && w1 == w2 && h1 == h2; ++i)
      mismatched += a[i] != b[i];
    stbi_image_free(b);
    return w1 == w2 && h1 == h2 && mismatched == 0;
  }));
  EXPECT_EQ(mismatched, 0);
  stbi_image_free(a);
  std::remove(ours.c_str());
  std::remove(shot.c_str());
}

TEST_F(XvfbWindowTest, MenuDropsDownAsItsOwnWindowAndAClickChooses) {
  RefPtr<RecordingPart> owner = RecordingPart::Make(0xFF202020);
  parts_.push_back(owner);
  Show(owner.Get(), RectI{100, 300, 200, 400});
  RefPtr<MenuWindowObject> menu;
  uint64_t xid = 0;
  RunOnLoop(app_, [&] {
    menu = MenuWindowObject::Make();
    for (int32_t id : {1, 2}) {
      RefPtr<MMenuItem> item(new MenuItem);
      item->MakeCommand(id == 1 ? u"&First" : u"&Second", 0, id, 0, 0);
      menu->AddItem(item.Get());
    }
    ASSERT_TRUE(menu->Part()->OpenAt(PointI{400, 300}, nullptr, owner->Self()));
    xid = app_.Loop()->Backend().NativeHandle(menu->Part()->PopupHost()->BackendWindow());
  });
  ASSERT_NE(xid, 0u);
  int x = -1;
  int y = -1;
  ::Window child = 0;
  EXPECT_TRUE(WaitFor([&] {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x_, xid, &attributes) || attributes.map_state != IsViewable) {
      return false;
    }
    XTranslateCoordinates(x_, xid, DefaultRootWindow(x_), 0, 0, &x, &y, &child);
    return x == 400 && y == 300;
  }));
  ASSERT_EQ(Run("xdotool mousemove --sync 420 330 click 1"), 0);  // the second item
  std::vector<uintptr_t> chosen;
  bool closed = false;
  EXPECT_TRUE(WaitFor([&] {
    RunOnLoop(app_, [&] {
      chosen.clear();
      for (const auto& note : owner->notes) {
        if (note.code == kNotifyMenuCommand) chosen.push_back(note.argument);
      }
      closed = menu->Part()->PopupHost() == nullptr;
    });
    return !chosen.empty() && closed;
  }));
  EXPECT_EQ(chosen, (std::vector<uintptr_t>{2}));
  RunOnLoop(app_, [&] { menu = nullptr; });
}

TEST_F(XvfbWindowTest, FilesDroppedByAnotherProgramReachThePartAsOneList) {
  RefPtr<RecordingPart> root = RecordingPart::Make(0xFF202020);
  RefPtr<RecordingPart> target = RecordingPart::Make(0xFFE0E0E0);
  parts_.push_back(root);
  parts_.push_back(target);
  RunOnLoop(app_, [&] {
    target->SetLocation(PointI{10, 10});
    target->SetSize(SizeI{50, 50});
    root->AttachChild(target->Self(), kPlaceModeTop);
  });
  const uint64_t xid = Show(root.Get(), RectI{600, 100, 700, 200});
  // A drag brings the pointer along: SDL places a drop where the pointer is.
  ASSERT_EQ(Run("xdotool mousemove --sync 630 130"), 0);
  ASSERT_TRUE(DropOnto(x_, xid, 630, 130, "file:///tmp/one.mp3\r\nfile:///tmp/two%20b.ogg\r\n"));
  std::vector<std::u16string> dropped;
  EXPECT_TRUE(WaitFor([&] {
    RunOnLoop(app_, [&] { dropped = target->dropped; });
    return dropped.size() >= 2;
  }));
  EXPECT_EQ(dropped, (std::vector<std::u16string>{u"/tmp/one.mp3", u"/tmp/two b.ogg"}));
  int32_t drops = 0;
  RunOnLoop(app_, [&] { drops = target->CountNotes(kNotifyFileDrop); });
  EXPECT_EQ(drops, 1);
}

}  // namespace
}  // namespace vk2::gui::test
