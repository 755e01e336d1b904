// Window definitions read from markup, and the state-style compositor.
#include <gtest/gtest.h>

#include <vector>

#include "markup/definition/state_styles.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

using markup::WindowDefinition;

class WindowDefinitionTest : public MarkupWindowTest {
 protected:
  RefPtr<WindowDefinition> Window(const std::string& body, const char16_t* name = u"w") {
    auto* definition = Load(body);
    return definition ? definition->FindWindow(name) : nullptr;
  }
};

TEST_F(WindowDefinitionTest, ReadsPlacementFlagsSizesLimitsScriptsAndHint) {
  auto w = Window(R"(<property name="props" hoverhint="Hint!"/>
    <window name="w" offset="1,2,3,4" alignment="0,0,1,0.5" transparent="true" popout="true"
            belowparent="1" property="props" min_size="20,20" max_size="300,200"
            drag_min_offset="-5.7,3">
      <script name="OnClick">a = 1;</script>
      <script>unnamed = 1;</script>
      <script name="OnInit">b = 2;</script>
    </window>)");
  ASSERT_NE(w, nullptr);
  Guid type;
  ASSERT_EQ(w->GetTypeClass(&type), 0);
  EXPECT_EQ(type, kGenericWindowClass);  // no `type` attribute: Generic
  EXPECT_EQ(w->GetWindowStyle(), 53u);   // 1 + transparent 4 + popout 48
  EXPECT_TRUE(w->IsBelowParent());
  EXPECT_FALSE(w->IsPopup());
  int32_t offset[4] = {};
  double fractions[4] = {};
  w->GetOffsetRect(offset);
  w->GetFractionRect(fractions);
  EXPECT_EQ(std::vector<int32_t>(offset, offset + 4), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(fractions[3], 0.5);

  SizeI size{7, 7};
  EXPECT_TRUE(w->GetSizeLimit(&size, kSizeMinimum));
  EXPECT_EQ(size, (SizeI{20, 20}));
  EXPECT_TRUE(w->GetSizeLimit(&size, kSizeMaximum));
  EXPECT_EQ(size, (SizeI{300, 200}));
  size = SizeI{7, 7};
  EXPECT_FALSE(w->GetSizeLimit(&size, kSizeDefault));
  EXPECT_EQ(size, (SizeI{7, 7}));  // untouched

  PointI drag;
  double dragFraction[2] = {9, 9};
  EXPECT_TRUE(w->GetDragLimit(0, &drag, dragFraction));
  EXPECT_EQ(drag, (PointI{-5, 3}));  // cut toward zero
  EXPECT_EQ(dragFraction[0], 0.0);
  EXPECT_FALSE(w->GetDragLimit(1, &drag, dragFraction));

  ASSERT_EQ(w->GetScriptCount(), 2);  // the unnamed script is not a handler
  TString text, name;
  EXPECT_EQ(w->GetScript(1, &text, &name), 0);
  EXPECT_EQ(Narrow(name), "OnInit");
  EXPECT_EQ(Narrow(text), "b = 2;");
  EXPECT_NE(w->GetScript(2, &text, &name), 0);
  TString hint;
  w->GetHint(&hint);
  EXPECT_EQ(Narrow(hint), "Hint!");
}

TEST_F(WindowDefinitionTest, UnknownTypesAreReportedAndMissingShapesKeepTheWindow) {
  InProcessMarkup::TakeConsole();
  auto* definition = Load(R"(<window name="bad" type="Nope"/>
    <window name="w" shape="nowhere"/>)");
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(definition->FindWindow(u"bad"), nullptr);
  auto w = definition->FindWindow(u"w");
  ASSERT_NE(w, nullptr);
  const std::string report = InProcessMarkup::TakeConsole();
  EXPECT_NE(report.find("Unknown WindowType: \"Nope\""), std::string::npos) << report;
  EXPECT_NE(report.find("Couldn't find shape: \"nowhere\""), std::string::npos) << report;
  EXPECT_EQ(w->ShapeOperation(RectI{0, 0, 4, 4}, nullptr), 0);
}

TEST_F(WindowDefinitionTest, ImageStylesNamedBackgroundAndStateTakePartInDrawing) {
  auto w = Window(R"(<window name="w">
      <imagestyle name="background" fill="#FF0000"/>
      <imagestyle name="other" fill="#00FF00"/>
    </window>)");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->CountImageStyles(u"*"), 2);
  EXPECT_FALSE(w->IsEmpty(0));

  // A state style on a definition without any grows the state array to hold it.
  ASSERT_EQ(w->SetImageStyle(u"STATE3", MakeFillStyle(0xFF0000FF, kStyleStateNormal).Get()), 0);
  EXPECT_EQ(w->CountImageStyles(u"state?"), 1);
  EXPECT_EQ(w->SetImageStyle(u"background", nullptr), 0);
  EXPECT_TRUE(w->IsEmpty(0));
  EXPECT_FALSE(w->IsEmpty(1));  // state 3 is still there
  EXPECT_EQ(w->SetImageStyle(u"state3", nullptr), 0);
  EXPECT_TRUE(w->IsEmpty(1));
  RefPtr<MImageStyleDrawing> found;
  EXPECT_EQ(w->FindImageStyle(u"OTHER", found.Put()), 0);
  EXPECT_NE(w->FindImageStyle(u"background", found.Put()), 0);
}

// ---- DrawStateStyles on a 16x16 canvas -------------------------------------------------------

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

struct Surface {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(16 * 16, 0u);
  RefPtr<MCanvas> canvas;
  Surface() {
    SurfaceView view;
    view.bits = reinterpret_cast<uint8_t*>(pixels.data());
    view.width = view.height = 16;
    view.strideBytes = 64;
    EXPECT_EQ(gfx::CreateCanvasOnView(view, &canvas), 0);
  }
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * 16 + x]; }
};

uint32_t Channel(uint32_t pixel, int32_t shift) {
  return (pixel >> shift) & 0xFF;
}

TEST_F(WindowDefinitionTest, StateStylesBlendByWeightOverTheBackground) {
  auto background = MakeFillStyle(kRed, kStyleStateNormal);
  auto blue = MakeFillStyle(kBlue, kStyleStateNormal);
  MImageStyleDrawing* styles[] = {blue.Get()};
  const RectI rect{0, 0, 16, 16};
  struct Case {
    const char* what;
    std::vector<double> weights;
    bool withBackground;
    uint32_t expected;  // 0: checked below instead
  };
  const Case cases[] = {
      {"no weights: background, then state 0's normal look", {}, true, kBlue},
      {"full weight never shows the background afterwards", {1.0, 0, 0}, true, kBlue},
      {"every weight 0: the background still shows", {0, 0, 0}, true, kRed},
      {"no style drew and no background: nothing", {0, 0, 0}, false, 0u},
      {"half weight: a mix of both", {0.5, 0, 0}, true, 1u},
  };
  for (const Case& c : cases) {
    Surface surface;
    markup::StateStyleSet set;
    set.background = c.withBackground ? background.Get() : nullptr;
    set.styles = styles;
    set.count = 1;
    set.weights = c.weights.empty() ? nullptr : c.weights.data();
    set.weightCount = static_cast<int32_t>(c.weights.size());
    markup::DrawStateStyles(rect, surface.canvas.Get(), set, false, 1.0, VisualParameters{});
    const uint32_t pixel = surface.At(8, 8);
    if (c.expected == 1u) {
      EXPECT_GT(Channel(pixel, 16), Channel(pixel, 0)) << c.what;
      EXPECT_GT(Channel(pixel, 0), 0u) << c.what;
    } else {
      EXPECT_EQ(pixel, c.expected) << c.what << std::hex << " got " << pixel;
    }
  }
}

TEST_F(WindowDefinitionTest, EachStateStyleStartsFromAClearScratchImage) {
  // Without background or composite, the second style covers only the left half: its right
  // half must not repeat the first style's pixels.
  auto red = MakeFillStyle(kRed, kStyleStateNormal);
  auto blueLeft = MakeFillStyle(kBlue, kStyleStateNormal, true);
  MImageStyleDrawing* styles[] = {red.Get(), blueLeft.Get()};
  const double weights[] = {1.0, 0, 0, 1.0, 0, 0};
  Surface surface;
  markup::StateStyleSet set;
  set.styles = styles;
  set.count = 2;
  set.weights = weights;
  set.weightCount = 6;
  markup::DrawStateStyles(RectI{0, 0, 16, 16}, surface.canvas.Get(), set, false, 1.0,
                          VisualParameters{});
  EXPECT_EQ(surface.At(2, 8), kBlue);
  EXPECT_EQ(surface.At(12, 8), 0u) << std::hex << surface.At(12, 8);
}

TEST_F(WindowDefinitionTest, CompositeStylesBlendOverWhatTheCanvasHeld) {
  auto blue = MakeFillStyle(kBlue, kStyleStateNormal, true);
  MImageStyleDrawing* styles[] = {blue.Get()};
  const double weights[] = {1.0, 0, 0};
  Surface surface;
  std::fill(surface.pixels.begin(), surface.pixels.end(), kRed);
  markup::StateStyleSet set;
  set.styles = styles;
  set.count = 1;
  set.weights = weights;
  set.weightCount = 3;
  markup::DrawStateStyles(RectI{0, 0, 16, 16}, surface.canvas.Get(), set, true, 1.0,
                          VisualParameters{});
  EXPECT_EQ(surface.At(2, 8), kBlue);
  EXPECT_EQ(surface.At(12, 8), kRed);  // the canvas's own pixels under the style
}

}  // namespace
}  // namespace vk2::test
