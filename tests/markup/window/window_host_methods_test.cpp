// Window methods that reach the host or the virtual area: always-on-top, minimising, the
// measured frame rate, virtual size and pan with their tweens, and the definition's dock points
// docking two windows.
#include <gtest/gtest.h>

#include <string>

#include "oru/gui/host/host_window_object.h"
#include "oru/gui/window/window_part.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

const char* const kHostDocument = R"(
  <window name="main" offset="0,0,200,100">
    <script name="OnExtro">extro = $params[0];</script>
    <window name="view" offset="10,10,110,60"/>
  </window>)";

class WindowHostMethodsTest : public MarkupWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NE(Load(kHostDocument), nullptr);
    main_ = Create(u"main");
    ASSERT_NE(main_, nullptr);
    Turn();
    ASSERT_EQ(main_->ChildCount(), 1);
    view_ = RefPtr<MWindowElement>(main_->ChildAt(0));
    ClearConsole();
  }
  std::string Main(const std::string& script) { return Run(main_.Get(), script); }
  std::string View(const std::string& script) { return Run(view_.Get(), script); }
  gui::HeadlessWindow BackendWindow() { return BackendWindowOf(main_.Get()); }

  RefPtr<MWindowElement> main_;
  RefPtr<MWindowElement> view_;
};

TEST_F(WindowHostMethodsTest, AlwaysOnTopAndMinimiseReachTheTopLevelWindow) {
  Main("SetAlwaysOntop(1);");
  Step(1);
  EXPECT_TRUE(BackendWindow().alwaysOnTop);
  Main("SetAlwaysOntop(\"false\");");
  Step(1);
  EXPECT_FALSE(BackendWindow().alwaysOnTop);

  // A child's call acts on its top-level window.
  View("MinimizeWindow(\"true\");");
  Step(1);
  EXPECT_TRUE(BackendWindow().minimized);
  Main("MinimizeWindow(0);");
  Step(1);
  EXPECT_FALSE(BackendWindow().minimized);

  int32_t status = 0;
  Run(main_.Get(), "MinimizeWindow();", &status);
  EXPECT_FALSE(ConsoleText().empty()) << "a missing argument is reported";
  EXPECT_FALSE(BackendWindow().minimized);
}

TEST_F(WindowHostMethodsTest, ActualFrameRateCountsTheFramesOfTheLastSecond) {
  Step(1100);
  EXPECT_EQ(Main("return (GetActualFPS());"), "0.000000") << "nothing drawn for a second";

  // An opacity tween repaints on every frame; the loop turns once a frame at 20 per second.
  Main("SetDesiredFPS(20); SetOpacity(0.5, 0, 2000);");
  for (int i = 0; i < 30; ++i)
    Step(50);
  const std::string rate = Main("return (GetActualFPS());");
  EXPECT_GE(std::stod(rate), 19.0) << rate;
  EXPECT_LE(std::stod(rate), 21.0) << rate;
  EXPECT_EQ(rate.substr(rate.find('.')), ".000000") << "six decimals";
  EXPECT_EQ(View("return (GetActualFPS());"), rate) << "a child answers its host's rate";
}

TEST_F(WindowHostMethodsTest, VirtualSizeAndPanTweenOnTheClock) {
  ASSERT_EQ(View("return (GetVirtSize());"), "{100, 50}") << "the size until one is given";
  ASSERT_EQ(View("return (GetPan());"), "{0, 0}");

  View("SetVirtSize({300, 250}, 0, 200);");
  Step(0);
  Step(100);
  EXPECT_EQ(View("return (GetVirtSize());"), "{200, 150}");
  Step(100);
  EXPECT_EQ(View("return (GetVirtSize());"), "{300, 250}");
  EXPECT_EQ(View("return (GetSize());"), "{100, 50}") << "the window keeps its size";

  View("SetPan({80, 40}, 50, 100);");
  Step(0);
  Step(50);
  EXPECT_EQ(View("return (GetPan());"), "{0, 0}") << "starts 50 ms later";
  Step(50);
  EXPECT_EQ(View("return (GetPan());"), "{40, 20}");
  Step(50);
  EXPECT_EQ(View("return (GetPan());"), "{80, 40}");

  // A new pan cancels the pending one.
  View("SetPan({0, 0}, 100, 100); SetPan({10, 10});");
  Step(1);
  Step(300);
  EXPECT_EQ(View("return (GetPan());"), "{10, 10}");
}

const char* const kDockDocument = R"(
  <window name="bar" offset="0,0,100,100">
    <dock_point name="edge" offset="0,0" alignment="1,0" type="MASTER"/>
    <script name="OnDockMaster">docked = $params[0];</script>
  </window>
  <window name="pad" offset="0,0,100,100" hitstyle="drag">
    <dock_point name="left" offset="0,0" alignment="0,0" type="SLAVE"/>
    <dock_point name="low" offset="0,-10" alignment="0,1"/>
    <script name="OnDockSlave">docked = $params[0];</script>
    <script name="OnUndockSlave">undocked = $params[0];</script>
  </window>
  <hitstyle name="drag" default_hitcode="DRAG"/>)";

TEST_F(MarkupWindowTest, DefinitionDockPointsAreInstalledAndDockWindows) {
  ASSERT_NE(Load(kDockDocument), nullptr);
  auto bar = Create(u"bar");
  auto pad = Create(u"pad");
  ASSERT_TRUE(bar && pad);
  Run(pad.Get(), "SetLocation({300, 0});");
  Step(20);

  // Installed on the GUI part from the last point of each kind to the first.
  gui::WindowPart* part = gui::WindowPart::FromElement(pad.Get());
  ASSERT_NE(part, nullptr);
  ASSERT_EQ(part->DockPoints().size(), 2u);
  DockPointRecord record;
  ASSERT_EQ(part->DockPoints()[0].first->GetRecord(&record), 0);
  EXPECT_EQ(std::u16string(record.name), u"low");
  EXPECT_EQ(record.offsetY, -10);
  EXPECT_EQ(record.alignY, 1.0);
  EXPECT_FALSE(part->DockPoints()[0].second) << "a slave point by default";
  ASSERT_EQ(part->DockPoints()[1].first->GetRecord(&record), 0);
  EXPECT_EQ(std::u16string(record.name), u"left");
  EXPECT_FALSE(part->DockPoints()[1].second);
  gui::WindowPart* barPart = gui::WindowPart::FromElement(bar.Get());
  ASSERT_NE(barPart, nullptr);
  ASSERT_EQ(barPart->DockPoints().size(), 1u);
  EXPECT_TRUE(barPart->DockPoints()[0].second) << "a master point";

  // Dragging the pad's top-left near the bar's top-right corner docks them.
  MHostWindow* host = nullptr;
  pad->GetValue(kValueHost, &host, sizeof host);
  ASSERT_NE(host, nullptr);
  const uint32_t w = static_cast<gui::HostWindowObject*>(host)->BackendWindow();
  backend_->Press(w, 5, 5);
  Turn();
  backend_->MoveTo(w, 106 + 5 - 300, 4 + 5);
  Turn();
  RectI screen;
  host->GetScreenRect(&screen);
  backend_->ReleaseButton(w, 5, 5);
  Turn();
  EXPECT_EQ(screen.left, 100) << "snapped to the master point";
  EXPECT_EQ(screen.top, 0);
  EXPECT_EQ(Member(pad.Get(), u"docked"), "edge");
  EXPECT_EQ(Member(bar.Get(), u"docked"), "left");
}

}  // namespace
}  // namespace vk2::test

namespace vk2::test {
namespace {

TEST_F(WindowHostMethodsTest, EveryPropertyTweensOnTheClock) {
  struct Case {
    const char* set;
    const char* get;
    const char* start;    // the value before any tween
    const char* target;   // argument of the setter
    const char* halfway;  // at 100 of 200 ms, linear
  };
  const Case cases[] = {
      {"SetAngle", "GetAngle", "0.000000", "90", "45.000000"},
      {"SetAnimTime", "GetAnimTime", "0.000000", "1", "0.500000"},
      {"SetZoom", "GetZoom", "1.000000", "3", "2.000000"},
      {"SetOpacity", "GetOpacity", "1.000000", "0", "0.500000"},
  };
  for (const Case& c : cases) {
    const std::string get = std::string("return (") + c.get + "());";
    EXPECT_EQ(View(get), c.start) << c.get;
    View(std::string(c.set) + "(" + c.target + ", 0, 200);");
    Step(0);
    Step(100);
    EXPECT_EQ(View(get), c.halfway) << c.set;
    Step(100);
    EXPECT_EQ(std::stod(View(get)), std::stod(c.target)) << c.set;
    // Without a duration the value is set on the next turn.
    View(std::string(c.set) + "(" + c.start + ");");
    Step(1);
    EXPECT_EQ(View(get), c.start) << c.set;
  }
}

TEST_F(WindowHostMethodsTest, DisableAndEnableAtTheirTimeAndExtroBroadcasts) {
  uint32_t state = 0;
  View("Disable(); Enable(100);");
  Step(1);
  view_->GetValue(kValueStateFlags, &state, sizeof state);
  EXPECT_EQ(state & kStateEnabled, 0u) << "disabled at once";
  Step(100);
  view_->GetValue(kValueStateFlags, &state, sizeof state);
  EXPECT_NE(state & kStateEnabled, 0u) << "enabled 100 ms later";

  Run(main_.Get(), "StartExtro(70);");
  EXPECT_EQ(Member(main_.Get(), u"extro"), "70");
}

// A window takes the pointer where its hit style answers ACTIVE; without one it is transparent.
const char* const kInputDocument = R"(
  <hitstyle name="active" default_hitcode="ACTIVE"/>
  <window name="pad" offset="0,0,80,60" hitstyle="active">
    <imagestyle name="background" fill="#FF0000"/>
    <script name="OnInit">trail = "";</script>
    <script name="OnMouseOver">trail = trail | "over,";</script>
    <script name="OnMouseTopOver">trail = trail | "top-over,";</script>
    <script name="OnLeftButtonDown">trail = trail | "down " | $params[0]["x"] | ",";</script>
    <script name="OnLeftButtonUp">trail = trail | "up,";</script>
    <script name="OnClick">trail = trail | "click,";</script>
    <script name="OnRightButtonDown">trail = trail | "right-down,";</script>
    <script name="OnRightButtonUp">trail = trail | "right-up,";</script>
    <script name="OnMouseTopExit">trail = trail | "top-exit,";</script>
    <script name="OnMouseExit">trail = trail | "exit,";</script>
  </window>)";

TEST_F(MarkupWindowTest, SyntheticInputFiresTheWindowEventsInOrder) {
  ASSERT_NE(Load(kInputDocument), nullptr);
  auto pad = Create(u"pad");
  ASSERT_NE(pad, nullptr);
  Step(20);
  MHostWindow* host = nullptr;
  pad->GetValue(kValueHost, &host, sizeof host);
  ASSERT_NE(host, nullptr);
  const uint32_t w = static_cast<gui::HostWindowObject*>(host)->BackendWindow();

  backend_->MoveTo(w, 12, 14);
  Turn();
  backend_->Click(w, 12, 14);
  Turn();
  backend_->Click(w, 20, 20, 2);
  Turn();
  backend_->MoveTo(w, 200, 200);
  Turn();
  EXPECT_EQ(Member(pad.Get(), u"trail"),
            "top-over,over,down 12,up,click,right-down,right-up,exit,top-exit,")
      << ConsoleText();
}

}  // namespace
}  // namespace vk2::test
