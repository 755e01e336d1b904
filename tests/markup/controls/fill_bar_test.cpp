// The fill bar on the headless GUI layer: dragging asks, tells and finalizes through the
// window's scripts, a refusing handler keeps the position, the value-model methods check their
// arguments, and the bar's parts are painted on either side of the position.
#include <gtest/gtest.h>

#include "markup/controls/fill_bar.h"
#include "tests/markup/controls/control_input.h"

namespace vk2::test {
namespace {

constexpr uint32_t kEmptyRed = 0xFFFF0000;
constexpr uint32_t kFilledBlue = 0xFF0000FF;

const char* const kFillBar = R"(
  <window name="bar" type="FillBar" offset="10,10,110,30" hitstyle="ACTIVE">
    <property orientation="%s"/>
    <imagestyle name="barempty" fill="#FF0000"/>
    <imagestyle name="barfilled" fill="#0000FF"/>
    <script name="OnInit">queries = 0; finals = 0; allow = 1; lastInt = -1;</script>
    <script name="OnQueryPosChange">queries = queries + 1; return (allow);</script>
    <script name="OnPosChange">lastInt = $params[0]["int"]; lastReal = $params[0]["real"];</script>
    <script name="OnPosFinalized">finals = finals + 1;</script>
    <script name="OnHoverPosChange">hoverInt = $params[0]["int"];</script>
  </window>)";

class FillBarTest : public ControlFixture {
 protected:
  void OpenBar(const char* orientation = "horizontal") {
    char text[2048];
    std::snprintf(text, sizeof text, kFillBar, orientation);
    Open(text, 120, 40);
    ASSERT_NE(Child(u"bar"), nullptr);
  }
  std::string Var(const char16_t* name) { return Member(Child(u"bar"), name); }
};

TEST_F(FillBarTest, DraggingAsksTellsAndFinalizes) {
  OpenBar();
  Press(60, 20);  // the middle of the bar
  EXPECT_EQ(Var(u"lastInt"), "50");
  EXPECT_EQ(Var(u"lastReal"), "0.5");
  MoveTo(85, 20);
  EXPECT_EQ(Var(u"lastInt"), "75");
  EXPECT_EQ(Var(u"finals"), "0");
  Release(85, 20);
  EXPECT_EQ(Var(u"queries"), "2");
  EXPECT_EQ(Var(u"finals"), "1");
  EXPECT_EQ(On(u"bar", "return (GetIntPos());"), "75");
  EXPECT_EQ(On(u"bar", "return (GetRealPos());"), "0.75");
}

TEST_F(FillBarTest, ARefusingHandlerKeepsThePosition) {
  OpenBar();
  On(u"bar", "allow = 0;");
  Press(30, 20);
  Release(30, 20);
  EXPECT_NE(Var(u"queries"), "0");  // every move of the drag asks again
  EXPECT_EQ(Var(u"lastInt"), "-1");
  EXPECT_EQ(On(u"bar", "return (GetIntPos());"), "0");
}

TEST_F(FillBarTest, ValueModelMethodsCheckTheirArguments) {
  OpenBar();
  EXPECT_EQ(On(u"bar", "return (GetMin());"), "0");
  struct Case {
    const char* script;
    bool accepted;
  };
  const Case cases[] = {
      {"SetRealPos(1.0);", true},    {"SetRealPos(1.0000001);", false},
      {"SetRealPos(-0.1);", false},  {"SetRealPos();", false},
      {"SetRealPos(\"x\");", false}, {"GetIntPos(1);", false},
      {"GetRealPos(0);", false},     {"GetMin(1);", false},
      {"SetIntPos();", false},       {"SetMin(\"ten\");", false},
  };
  for (const Case& c : cases) {
    int32_t status = 0;
    On(u"bar", c.script, &status);
    EXPECT_EQ(status == 0, c.accepted) << c.script;
  }
  EXPECT_EQ(On(u"bar", "return (GetIntPos());"), "100");
  On(u"bar", "SetMin(10); SetMax(20); SetRealPos(0.5);");
  EXPECT_EQ(On(u"bar", "return (GetMin());"), "10");
  EXPECT_EQ(On(u"bar", "return (GetMax());"), "20");
  EXPECT_EQ(On(u"bar", "return (GetIntPos());"), "15");
  // Scripts move the bar without asking or telling.
  EXPECT_EQ(Var(u"queries"), "0");
}

TEST_F(FillBarTest, PartsLieOnEitherSideOfThePosition) {
  struct Case {
    const char* orientation;
    uint32_t left;
    uint32_t right;
  };
  // The empty style draws before the position, the filled one after it, unless the bar fills
  // from the left.
  for (const Case& c : {Case{"horizontal", kEmptyRed, kFilledBlue},
                        Case{"left_to_right", kFilledBlue, kEmptyRed}}) {
    SCOPED_TRACE(c.orientation);
    OpenBar(c.orientation);
    On(u"bar", "SetRealPos(0.75);");
    EXPECT_EQ(Pixel(30, 20), c.left);
    EXPECT_EQ(Pixel(84, 20), c.left);
    EXPECT_EQ(Pixel(86, 20), c.right);
    EXPECT_EQ(Pixel(108, 20), c.right);
    EXPECT_EQ(Pixel(5, 5), 0u);
  }
}

TEST_F(FillBarTest, HoverPositionIsToldToTheScript) {
  OpenBar();
  const PointI point{25, 5};
  int32_t position = -1;
  Child(u"bar")->Query(kQueryPositionAtPoint, reinterpret_cast<uintptr_t>(&point),
                       reinterpret_cast<uintptr_t>(&position), 0);
  EXPECT_EQ(position, 25);  // the part answers the query
  EXPECT_EQ(Var(u"hoverInt"), "25");
}

TEST_F(FillBarTest, HandleCentreAndTrackFollowTheHandleStyle) {
  Open(R"(<window name="bar" type="FillBar" offset="0,0,100,20">
            <property outer_handle_offset_rect="-10,0,10,0" outer_handle_align_rect="0,0,0,1"/>
            <imagestyle name="handle" fill="#00FF00"/>
          </window>)",
       100, 20);
  auto* bar = dynamic_cast<markup::FillBar*>(markup::MarkupWindow::From(Child(u"bar")));
  ASSERT_NE(bar, nullptr);
  RectI track;
  EXPECT_EQ(bar->TrackRect(&track), 0);
  EXPECT_EQ(track, (RectI{10, 0, 90, 20}));
  PointI centre;
  bar->HandleCentre(&centre, 1.0);
  EXPECT_EQ(centre.x, 90);
  // The handle is drawn at the position: centred on 10 at 0.0.
  EXPECT_EQ(Pixel(1, 10), 0xFF00FF00);
  EXPECT_EQ(Pixel(21, 10), 0u);
}

// A vertical bar 100 high with a handle 10 long: the track runs from 5 to 95.
TEST_F(FillBarTest, AVerticalBarCountsFromTheTopWhereItDrawsTheHandle) {
  Open(R"(<window name="bar" type="FillBar" offset="0,0,20,100" hitstyle="ACTIVE">
            <property orientation="vertical" outer_handle_offset_rect="0,-5,0,5"
                      outer_handle_align_rect="0,0,1,0"/>
            <imagestyle name="handle" fill="#00FF00"/>
          </window>)",
       20, 100);
  struct Case {
    int32_t y;
    const char* position;
  };
  for (const Case& c : {Case{8, "3"}, Case{92, "97"}}) {
    SCOPED_TRACE(c.y);
    Click(10, c.y);
    EXPECT_EQ(On(u"bar", "return (GetIntPos());"), c.position);
    EXPECT_EQ(Pixel(10, c.y), 0xFF00FF00u);  // the handle lies under the pointer
    EXPECT_EQ(Pixel(10, 100 - c.y), 0u);
  }
}

TEST_F(FillBarTest, StylesShowTheirHoverEntryOverTheHandleAndTheirHitEntryWhileDragged) {
  constexpr uint32_t kRed = 0xFFFF0000, kOrange = 0xFFFF8000, kGreen = 0xFF00FF00,
                     kYellow = 0xFFFFFF00, kWhite = 0xFFFFFFFF;
  // Handle 20 long: x 0-20 at 0.0, 40-60 at 0.5; the empty part left of it.
  Open(R"(<window name="bar" type="FillBar" offset="0,0,100,20" hitstyle="ACTIVE">
            <property outer_handle_offset_rect="-10,0,10,0" outer_handle_align_rect="0,0,0,1"
                      orientation="horizontal"/>
            <imagestyle name="barempty" fill="#FF0000"/>
            <imagestyle name="barbackground2" fill="#FF8000"/>
            <imagestyle name="handle" fill="#00FF00"/>
            <imagestyle name="barhandle2" fill="#FFFF00"/>
            <imagestyle name="barhandle3" fill="#FFFFFF"/>
          </window>)",
       100, 20);
  On(u"bar", "SetRealPos(0.5);");
  EXPECT_EQ(Pixel(50, 10), kGreen);
  MoveTo(30, 10);  // over the bar, not the handle
  EXPECT_EQ(Pixel(50, 10), kGreen);
  EXPECT_EQ(Pixel(30, 10), kRed);
  MoveTo(45, 10);
  EXPECT_EQ(Pixel(50, 10), kYellow);
  EXPECT_EQ(Pixel(30, 10), kOrange);  // the bar's own hover entry
  Press(50, 10);
  EXPECT_EQ(Pixel(50, 10), kWhite);
  EXPECT_EQ(Pixel(30, 10), kRed);  // no hit entry for the bar: its normal one
  MoveTo(90, 10);                  // dragged off where the handle was: still hit
  EXPECT_EQ(Pixel(88, 10), kWhite);
  Release(90, 10);
  EXPECT_EQ(Pixel(88, 10), kYellow);  // let go over the handle
  MoveTo(20, 10);
  EXPECT_EQ(Pixel(88, 10), kGreen);
}

}  // namespace
}  // namespace vk2::test
