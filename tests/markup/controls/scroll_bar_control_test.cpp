// Scroll bars made by interface id: styles from a style object or the interface's
// "VK2_Scrollbar" property element, flat colours without, and the styled track and thumb drawn
// on the headless GUI layer.
#include <gtest/gtest.h>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "markup/controls/scroll_bar_control.h"
#include "markup/module/markup_factory.h"
#include "markup/window/window_properties.h"
#include "tests/markup/controls/control_fixture.h"

namespace vk2::test {
namespace {

using markup::ScrollBarControl;
using markup::ScrollBarStyle;

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

const char* const kStyled = R"(
  <imagestyle name="track" fill="#FF0000"/>
  <imagestyle name="thumb" fill="#0000FF"/>
  <property name="VK2_Scrollbar" img_background="track" img_bar="thumb"
            pixel_minscrollbarsize="12"/>
  <property name="own" img_background_vertical="track" img_bar_horizontal="thumb"
            img_upbutton="thumb" img_leftbutton="missing" pixel_scrollbarthickness="x"/>
  <window name="main" offset="0,0,100,100"/>)";

class ScrollBarControlTest : public ControlTest {
 protected:
  // A bar made through the module's factory (vertical, or horizontal with `alt`).
  RefPtr<MScrollBar> MakeBar(bool alt) {
    void* out = nullptr;
    int32_t result = 0;
    EXPECT_TRUE(
        markup::CreateMarkupInstance(alt ? kScrollBarAltClass : kScrollBarClass, &out, &result));
    EXPECT_EQ(result, kOk);
    return RefPtr<MScrollBar>::Adopt(static_cast<MScrollBar*>(out));
  }
  ScrollBarControl* BarOf(MScrollBar* bar) { return markup::ControlOf<ScrollBarControl>(bar); }
  MUnknown* Iface() {
    return static_cast<MUnknown*>(static_cast<MInterfaceDefinition*>(duv_.Definition().Get()));
  }
  RefPtr<ScrollBarStyle> LoadStyle(const char16_t* property) {
    RefPtr<ScrollBarStyle> style = ScrollBarStyle::Make();
    MXmlNode* node = nullptr;
    auto iface = duv_.Definition();
    EXPECT_EQ(iface->GetProperty(property, &node), kOk);
    auto held = RefPtr<MXmlNode>::Adopt(node);
    EXPECT_EQ(style->Load(iface.Get(), held.Get()), kOk);
    return style;
  }
  // Places `bar` at (80,0)-(90,100) of main.
  void Place(MScrollBar* bar) {
    PlacementRecord record;
    record.parent = main_.Get();
    record.rect.offset[0] = 80;
    record.rect.offset[2] = 90;
    record.rect.offset[3] = 100;
    record.flags = kPlaceVisible | kPlaceEnabled;
    record.mode = kPlaceModeTop;
    ASSERT_EQ(
        bar->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&record), nullptr, 0, 0),
        kOk);
    Step(20);
  }
};

TEST_F(ScrollBarControlTest, WithoutAStyleTheBarTakesTheFlatColours) {
  Open("<window name=\"main\" offset=\"0,0,100,100\"/>");
  for (bool alt : {false, true}) {
    RefPtr<MScrollBar> bar = MakeBar(alt);
    ASSERT_NE(bar, nullptr);
    // No script object: scripts never see a scroll bar.
    void* script = nullptr;
    EXPECT_EQ(bar->QueryInterface(kIID_MScriptObject, &script, 1, 0), kErrNoInterface);
    // An unloaded style object counts as none.
    RefPtr<ScrollBarStyle> unloaded = ScrollBarStyle::Make();
    EXPECT_EQ(bar->ApplyStyle(Iface(), static_cast<MScrollBarStyle*>(unloaded.Get())), kOk);
    EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropScrollBg), 0xFF555555u - 0x100000000);
    EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropScrollFg), 0xFFA0A0A0u - 0x100000000);
    EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropScrollHl), -1);
    EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropScrollLl), 0xFF000000u - 0x100000000);
    EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropScrollIn), 0xFF888888u - 0x100000000);
    EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropScrollType), alt ? 2 : 1);
    EXPECT_FALSE(BarOf(bar.Get())->Looks().track);
  }
}

TEST_F(ScrollBarControlTest, StyleElementsFillBothOrientationsOrEachItsOwn) {
  Open(kStyled);
  RefPtr<ScrollBarStyle> both = LoadStyle(u"VK2_Scrollbar");
  EXPECT_TRUE(both->Loaded());
  EXPECT_EQ(both->MinThumb(), 12);
  EXPECT_EQ(both->Thickness(), 10);
  for (bool vertical : {true, false}) {
    EXPECT_TRUE(both->For(vertical).track);
    EXPECT_TRUE(both->For(vertical).thumb);
    EXPECT_FALSE(both->For(vertical).first);
  }
  EXPECT_EQ(both->For(true).track.Get(), both->For(false).track.Get());

  RefPtr<ScrollBarStyle> own = LoadStyle(u"own");
  EXPECT_TRUE(own->For(true).track);
  EXPECT_FALSE(own->For(false).track);
  EXPECT_FALSE(own->For(true).thumb);
  EXPECT_TRUE(own->For(false).thumb);
  EXPECT_TRUE(own->For(true).first);
  EXPECT_FALSE(own->For(false).first);  // a style name that is not found leaves none
  EXPECT_EQ(own->Thickness(), 10);      // a thickness that does not read keeps the default
}

TEST_F(ScrollBarControlTest, TheInterfaceStyleDrawsTrackAndThumbAndTheThumbFadesWhenDisabled) {
  Open(kStyled);
  RefPtr<MScrollBar> bar = MakeBar(false);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->ApplyStyle(Iface(), nullptr), kOk);  // the "VK2_Scrollbar" element
  EXPECT_EQ(markup::ReadIntegerProperty(bar.Get(), kPropMinBarSize), 12);
  EXPECT_FALSE(markup::ReadIntegerProperty(bar.Get(), kPropScrollBg).has_value());
  Place(bar.Get());
  EXPECT_EQ(bar->SetRange(100, 50), kOk);
  // Arrows 10 long at each end; the thumb is half the 80-pixel track, at its start.
  EXPECT_EQ(Pixel(85, 30), kBlue);
  EXPECT_EQ(Pixel(85, 70), kRed);
  EXPECT_EQ(bar->SetScrollPos(50, 0, 0), kOk);
  EXPECT_EQ(Pixel(85, 30), kRed);
  EXPECT_EQ(Pixel(85, 70), kBlue);
  bar->PostCommand(kCmdEnable, 0, 0, 1, nullptr, 0, 0);
  Step(20);
  uint32_t flags = 0;
  bar->GetValue(kValueStateFlags, &flags, sizeof flags);
  EXPECT_NE(flags & kStateDisabledLook, 0u);
  EXPECT_LT(Pixel(85, 70) >> 24, 0xFFu);  // the thumb fades
  EXPECT_EQ(Pixel(85, 30), kRed);         // the track does not
}

}  // namespace
}  // namespace vk2::test
