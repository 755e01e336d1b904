// The picker on the headless GUI layer: loading empties it, the current item is read and set
// by scripts with the documented answers, choosing from the keyboard fires OnItemSelected, and
// the closed picker shows its background and the current item in its place's look.
#include <gtest/gtest.h>

#include "markup/controls/picker.h"
#include "tests/markup/controls/control_input.h"

namespace vk2::test {
namespace {

const char* const kPicker = R"(
  <window name="pick" type="Picker" offset="0,0,100,20" hitstyle="ACTIVE">
    <imagestyle name="img_picker_background" fill="#404040"/>
    <imagestyle name="img_menu_background" fill="#202020"/>
    <imagestyle name="img_item_first" fill="#FF0000"/>
    <imagestyle name="img_item_last" fill="#0000FF"/>
    <script name="OnInit">chosen = -1;</script>
    <script name="OnItemSelected">chosen = $params[0];</script>
  </window>)";

class PickerTest : public ControlFixture {
 protected:
  void SetUp() override {
    Open(kPicker, 120, 40);
    picker_ = dynamic_cast<markup::Picker*>(markup::MarkupWindow::From(Child(u"pick")));
    ASSERT_NE(picker_, nullptr);
  }
  std::string Call(const std::string& script, int32_t* status = nullptr) {
    ClearConsole();
    return On(u"pick", script, status);
  }
  markup::Picker* picker_ = nullptr;
};

TEST_F(PickerTest, CurrentItemMethods) {
  int32_t status = 0;
  Call("return (GetCurrentItem());", &status);
  EXPECT_NE(status, 0);
  EXPECT_EQ(ConsoleText().find("GetCurrentItem:"), std::string::npos);  // no message
  Call("SetItems({\"a\", \"b\", {text: \"c\", data: 5}, \"d\"});");
  EXPECT_EQ(Call("return (GetCurrentItemIndex());"), "-1");
  Call("SetCurrentItemIndex(\"0x2\");", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Call("return (GetCurrentItemIndex());"), "2");
  EXPECT_EQ(Call("return (GetCurrentItem());"), "{data: 5, text: c}");
  EXPECT_EQ(Call("return (SetCurrentItem(\"C\"));"), "set");
  EXPECT_EQ(Call("return (GetCurrentItemIndex());"), "2");
  EXPECT_EQ(Call("return (GetItem(2));"), "{text: C}");

  Call("SetCurrentItemIndex(\"abc\");", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(ConsoleText().find("parameter is not an integer index"), std::string::npos);
  Call("SetCurrentItemIndex(9);", &status);
  EXPECT_NE(status, 0);
  EXPECT_EQ(Call("return (GetCurrentItemIndex());"), "2");
  Call("GetItem({1});", &status);
  EXPECT_NE(ConsoleText().find("parameter is not an integer index"), std::string::npos);
  Call("RemoveItem({1});", &status);
  EXPECT_NE(ConsoleText().find("parameter is not an integer index"), std::string::npos);
}

TEST_F(PickerTest, LoadingAgainEmptiesThePicker) {
  Call("SetItems({\"a\", \"b\"});");
  MWindowDefinition* definition = picker_->GetDefinition();
  ASSERT_NE(definition, nullptr);
  picker_->LoadProperties(nullptr);
  EXPECT_EQ(Call("return (GetItems());"), "");
}

TEST_F(PickerTest, KeysChooseAndTellTheScript) {
  Call("SetItems({\"a\", \"b\", \"c\"});");
  Click(50, 10);  // the keyboard goes to the picker (and its list opens)
  Key(kKeyEscape);
  Key(kKeyDown);
  EXPECT_EQ(Member(Child(u"pick"), u"chosen"), "0");
  Key(kKeyDown);
  EXPECT_EQ(Member(Child(u"pick"), u"chosen"), "1");
  EXPECT_EQ(Call("return (GetCurrentItemIndex());"), "1");
}

TEST_F(PickerTest, ShowsTheCurrentItemOverItsBackground) {
  EXPECT_EQ(Pixel(50, 10), 0xFF404040);
  Call("SetItems({\"only\"}); SetCurrentItemIndex(0);");
  // Alone, the item takes the first place's look.
  EXPECT_EQ(Pixel(50, 10), 0xFFFF0000);
}

}  // namespace
}  // namespace vk2::test
