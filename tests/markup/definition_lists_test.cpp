// Definition lists and the window tree: which definition a name finds, and how window-level
// definitions are scoped to their subtree.
#include <gtest/gtest.h>

#include "interfaces/ids.h"
#include "tests/markup/support/duv_loading.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::test {
namespace {

class DefinitionListsTest : public ::testing::Test {
 protected:
  // The element line of the image style `name` as seen from the definition after reading.
  static int32_t StyleLine(markup::InterfaceDefinition* def, const char16_t* name) {
    MMarkupDefinition* style = nullptr;
    if (def->GetImageStyle(name, &style) != 0) return -1;
    MXmlNode* element = nullptr;
    int32_t line = style->GetElement(&element) == 0 ? element->GetLine() : 0;
    if (element) element->Release();
    style->Release();
    return line;
  }

  InProcessMarkup services_;
};

TEST_F(DefinitionListsTest, RectsPointsAndColoursEarliestWinsLiteralsNeedNoLookup) {
  LoadedDuv duv =
      LoadDuv(Duv("<rect name=\"r\">1,1,2,2</rect>\n"
                  "<rect name=\"R\">9,9,9,9</rect>\n"
                  "<rect name=\"attrs\" left=\"1\" top=\"2\" right=\"3\" bottom=\"4\"/>\n"
                  "<point name=\"p\" x=\"5\" y=\"6\"/>\n"
                  "<color name=\"c\">red_base:r</color>\n"
                  "<color name=\"red_base\">#FF8040</color>\n"));
  ASSERT_EQ(duv.result, 0);
  auto def = duv.Definition();
  double r[4] = {};
  ASSERT_EQ(def->GetRect(u"r", r), 0);
  EXPECT_EQ(r[0], 1);
  ASSERT_EQ(def->GetRect(u"attrs", r), 0);
  EXPECT_EQ(r[3], 4);
  ASSERT_EQ(def->GetRect(u"0,0,10,10", r), 0);
  EXPECT_EQ(r[2], 10);
  double p[2] = {};
  ASSERT_EQ(def->GetPoint(u"P", p), 0);
  EXPECT_EQ(p[1], 6);
  uint32_t color = 0;
  ASSERT_EQ(def->GetColor(u"#FF0000", &color), 0);
  EXPECT_EQ(color, 0xFFFF0000u);
  ASSERT_EQ(def->GetColor(u"c", &color), 0);
  EXPECT_EQ(color, 0x00FF0000u);
  EXPECT_EQ(def->GetColor(u"", &color), -9);
  EXPECT_EQ(def->GetRect(nullptr, r), -9);
}

TEST_F(DefinitionListsTest, WindowStylesAreScopedToTheirSubtree) {
  // Line numbers tell the definitions apart: the body starts on line 4.
  LoadedDuv duv =
      LoadDuv(Duv("<imagestyle name=\"bg\"/>\n"               // 4
                  "<window name=\"A\">\n"                     // 5
                  "  <imagestyle name=\"bg\"/>\n"             // 6
                  "  <imagestyle name=\"only_a\"/>\n"         // 7
                  "  <window name=\"A1\"/>\n"                 // 8
                  "</window>\n"                               // 9
                  "<window name=\"B\"/>\n"                    // 10
                  "<window name=\"broken\" type=\"Nope\">\n"  // 11
                  "  <window name=\"lost\"/>\n"               // 12
                  "</window>\n"));                            // 13
  ASSERT_EQ(duv.result, 0);
  auto def = duv.Definition();
  // After the tree: only the interface-level style is visible, A's never leaks to B.
  EXPECT_EQ(StyleLine(def.Get(), u"bg"), 4);
  EXPECT_EQ(StyleLine(def.Get(), u"only_a"), -1);
  auto a = def->FindWindow(u"a");
  ASSERT_TRUE(a);
  ASSERT_EQ(a->Children().size(), 1u);
  EXPECT_TRUE(def->FindWindow(u"B"));
  // A window of an unknown type is reported and contributes no children.
  EXPECT_FALSE(def->FindWindow(u"broken"));
  EXPECT_FALSE(def->FindWindow(u"lost"));
  EXPECT_NE(InProcessMarkup::TakeConsole().find(
                "\tError in tag <window> on lines (11-13):\n\tUnknown WindowType: \"Nope\"\n"),
            std::string::npos);
}

TEST_F(DefinitionListsTest, AWindowsStylesGoEvenWhenTheyAreTheFirstOfTheirKind) {
  LoadedDuv duv =
      LoadDuv(Duv("<window name=\"A\">\n"
                  "  <imagestyle name=\"first\"/>\n"
                  "  <shape name=\"outline\"/>\n"
                  "  <hitstyle name=\"grab\" default_hitcode=\"DRAG\"/>\n"
                  "</window>\n"
                  "<window name=\"B\"/>\n"));
  ASSERT_EQ(duv.result, 0);
  auto def = duv.Definition();
  EXPECT_EQ(StyleLine(def.Get(), u"first"), -1);
  MMarkupDefinition* shape = nullptr;
  EXPECT_EQ(def->GetShape(u"outline", &shape), -5);
  MHitStyleDefinition* hit = nullptr;
  EXPECT_EQ(def->GetHitStyle(u"grab", &hit), -5);
}

TEST_F(DefinitionListsTest, PropertiesLatestWinsAndTheDocumentCanBeLetGo) {
  LoadedDuv duv =
      LoadDuv(Duv("<property name=\"look\" value=\"old\"/>\n"
                  "<property name=\"LOOK\" value=\"new\"/>\n"
                  "<property name=\"1bad\"/>\n"
                  "<window name=\"w\"/>\n"));
  ASSERT_EQ(duv.result, 0);
  auto def = duv.Definition();
  MXmlNode* property = nullptr;
  ASSERT_EQ(def->GetProperty(u"look", &property), 0);
  TString value;
  property->GetAttribute(u"value", &value);
  EXPECT_EQ(Narrow(value), "new");
  property->Release();
  property = nullptr;
  EXPECT_EQ(def->GetProperty(u"1bad", &property), -5);
  // Cleared while held elsewhere: everything was read first and stays answerable.
  ASSERT_EQ(duv.loader->Clear(), 0);
  TArray<TString> names;
  def->ListWindowNames(&names, kGenericWindowClass);
  EXPECT_EQ(names.Count(), 1u);
  EXPECT_EQ(def->GetProperty(u"look", &property), 0);
  property->Release();
}

}  // namespace
}  // namespace vk2::test
