// The selection list on the headless GUI layer: scripts fill, read and change the items with
// the documented answers and messages, a click on a row fires OnItemSelected with its index,
// and the rows show their place's look, the selected ones with the "on" look over it.
#include <gtest/gtest.h>

#include "markup/controls/selection_list.h"
#include "tests/markup/controls/control_input.h"

namespace vk2::test {
namespace {

const char* const kList = R"(
  <window name="list" type="SelectionList" offset="0,0,100,90" hitstyle="ACTIVE">
    <imagestyle name="img_item_off_first" fill="#FF0000"/>
    <imagestyle name="img_item_off_middle" fill="#00FF00"/>
    <imagestyle name="img_item_off_last" fill="#0000FF"/>
    <imagestyle name="img_item_on" fill="#FFFF00" states="normal"/>
    <script name="OnInit">chosen = -1;</script>
    <script name="OnItemSelected">chosen = $params[0];</script>
  </window>)";

class SelectionListTest : public ControlFixture {
 protected:
  void SetUp() override {
    Open(kList, 120, 100);
    ASSERT_NE(Child(u"list"), nullptr);
    list_ = dynamic_cast<markup::SelectionList*>(markup::MarkupWindow::From(Child(u"list")));
    ASSERT_NE(list_, nullptr);
  }
  // Runs `script` on the list; the value, or "!" and the message reported on a refusal.
  std::string Call(const std::string& script) {
    ClearConsole();
    int32_t status = 0;
    const std::string value = On(u"list", script, &status);
    if (status == 0) return value;
    // The method's report comes first: "Name: message".
    const std::string console = ConsoleText();
    const size_t colon = console.find(": ");
    const size_t end = console.find('\n', colon);
    return colon == std::string::npos ? "!" : "!" + console.substr(colon + 2, end - colon - 2);
  }
  markup::SelectionList* list_ = nullptr;
};

TEST_F(SelectionListTest, ItemMethodsAnswerAndRefuseAsDocumented) {
  struct Case {
    const char* script;
    const char* answer;
  };
  const Case cases[] = {
      {"return (AddItem(\"one\"));", "added"},
      {"return (AddItem({text: \"two\", data: {7, 8}}));", "added"},
      {"return (InsertItem(0, \"zero\"));", "inserted"},
      {"return (GetItems());", "{{text: zero}, {text: one}, {text: two, data: {7, 8}}}"},
      {"return (GetItem(2));", "{data: {7, 8}, text: two}"},
      {"return (GetItem(9));", "!index out of range"},
      {"return (AddItem(\"\"));", "!no text specified"},
      {"return (AddItem({data: 1}));", "!no text specified"},
      {"return (SetItem(5, \"x\"));", "!error in picker"},
      {"return (InsertItem(5, \"x\"));", "!index out of range"},
      {"return (SetItem({1}, \"x\"));", "!parameter is not an integer index"},
      {"return (SetItem(\"1ab\", \"ONE\"));", "set"},
      {"return (GetItem(1));", "{text: ONE}"},
      {"return (RemoveItem(\"nothing\"));", "!item not found"},
      {"return (RemoveItem(\"one\"));", "removed"},
      {"return (GetItems());", "{{text: zero}, {text: two, data: {7, 8}}}"},
      {"return (SetItems(\"flat\"));", "!parameter is not an array"},
      {"return (SetItems({\"a\", \"\", \"3\", \"b\"}));", "set"},
      {"return (RemoveItem(\"3\"));", "!index out of range"},  // "3" is an index, not a text
      {"return (RemoveItem(\"1\"));", "removed"},
      {"return (GetItems());", "{{text: a}, {text: b}}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Call(c.script), c.answer) << c.script << "\n" << ConsoleText();
  }
  // Identifiers went to every item made, stored or not: zero, one, two, x, a, 3, b.
  EXPECT_EQ(list_->NextIdentifier(), 8);
}

TEST_F(SelectionListTest, SelectionMethodsFollowThePart) {
  Call("SetItems({\"Apple\", \"pear\"});");
  struct Case {
    const char* script;
    const char* answer;
  };
  const Case cases[] = {
      {"return (GetSelectionArray());",
       "{{name: Apple, selected: false}, {name: pear, selected: false}}"},
      {"return (SelectedItem(\"PEAR\", true));", "set"},
      {"return (IsItemSelected(\"pear\"));", "true"},
      {"return (IsItemIndexSelected(0));", "false"},
      {"return (IsItemIndexSelected(2));", "!index out of range"},
      {"return (IsItemSelected(\"fig\"));", "!item with the specified text not found in the list"},
      {"return (SelectItemIndex(5, true));", "!index out of range"},
      {"return (SelectItemIndex(0, true));", "set"},
      {"return (GetSelectionArray());",
       "{{name: Apple, selected: true}, {name: pear, selected: false}}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Call(c.script), c.answer) << c.script;
  }
  int32_t status = 0;
  On(u"list", "GetSelectionArray(1);", &status);
  EXPECT_NE(status, 0);
}

TEST_F(SelectionListTest, AClickOnARowFiresItsIndex) {
  Call("SetItems({\"a\", \"b\", \"c\"});");
  Click(20, 18 + 9);  // rows are 18 pixels high without a font
  EXPECT_EQ(Member(Child(u"list"), u"chosen"), "1");
  Key(kKeyDown);
  EXPECT_EQ(Member(Child(u"list"), u"chosen"), "2");
}

TEST_F(SelectionListTest, RowsShowTheirPlacesLookAndTheSelection) {
  Call("SetItems({\"a\", \"b\", \"c\"});");
  EXPECT_EQ(Pixel(5, 9), 0xFFFF0000);   // first
  EXPECT_EQ(Pixel(5, 27), 0xFF00FF00);  // middle
  EXPECT_EQ(Pixel(5, 45), 0xFF0000FF);  // last
  Call("SelectItemIndex(1, true);");
  EXPECT_EQ(Pixel(5, 27), 0xFFFFFF00);
  Call("SetItems({\"alone\"});");
  // Without an "only" look the first one serves a lone item.
  EXPECT_EQ(Pixel(5, 9), 0xFFFF0000);
}

}  // namespace
}  // namespace vk2::test

namespace vk2::test {
namespace {

TEST_F(SelectionListTest, ScrollBarsStandAlongTheRightAndBottomEdges) {
  MWindowElement* list = Child(u"list");
  ASSERT_EQ(list->ChildCount(), 2);
  EXPECT_EQ(list->ChildAt(0), list_->VerticalBar());
  struct Case {
    MWindowElement* bar;
    PointI location;
    SizeI size;
  };
  for (const Case& c : {Case{list_->VerticalBar(), {90, 0}, {10, 80}},
                        Case{list_->HorizontalBar(), {0, 80}, {90, 10}}}) {
    PointI location;
    SizeI size;
    c.bar->GetValue(kValueLocation, &location, sizeof location);
    c.bar->GetValue(kValueSize, &size, sizeof size);
    EXPECT_EQ(location.x, c.location.x);
    EXPECT_EQ(location.y, c.location.y);
    EXPECT_EQ(size.width, c.size.width);
    EXPECT_EQ(size.height, c.size.height);
  }
}

}  // namespace
}  // namespace vk2::test
