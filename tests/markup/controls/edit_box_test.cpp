// The edit box on the headless GUI layer: a click gives it the keyboard, typing and keys edit
// its text, Enter fires OnEditSend, the script methods check their arguments, and the control
// draws masked text, the caret by its blink and the selection with its colour's own alpha.
#include <gtest/gtest.h>

#include <vector>

#include "tests/markup/controls/control_input.h"

namespace vk2::test {
namespace {

const char* const kEditFont = R"(<fontstyle name="text" face="DejaVu Sans" size="10"/>)";

std::string EditWindow(const std::string& name, int32_t top, const std::string& attributes) {
  return "<window name=\"" + name + "\" type=\"EditBox\" offset=\"10," + std::to_string(top) +
         ",110," + std::to_string(top + 20) + R"(" hitstyle="ACTIVE">
            <imagestyle name="black" fill="#000000"/>
            <property font_style="text" font_color="#FFFFFF" text_offset_rect="2,0,2,0"
                      background_inactive="black" background_active="black" )" +
         attributes + R"(/>
            <script name="OnInit">sends = 0;</script>
            <script name="OnEditSend">sends = sends + 1; sent = GetText();</script>
          </window>)";
}

class EditBoxTest : public ControlFixture {
 protected:
  void OpenEdit(const std::string& attributes = "") {
    Open(EditWindow("edit", 10, attributes), 120, 80, "", kEditFont);
    ASSERT_NE(Child(u"edit"), nullptr);
  }
  std::string Var(const char16_t* name) { return Member(Child(u"edit"), name); }
  // The presented pixels of main-window rows top to bottom - 1, columns 10 to 110.
  std::vector<uint32_t> Band(int32_t top, int32_t bottom) {
    Step(20);
    const gui::HeadlessWindow w = backend_->Window(HostId());
    std::vector<uint32_t> band;
    for (int32_t y = top; y < bottom; ++y) {
      for (int32_t x = 10; x < 110; ++x)
        band.push_back(w.pixels[static_cast<size_t>(y) * w.presentedWidth + x]);
    }
    return band;
  }
};

TEST_F(EditBoxTest, TypingEditsAndEnterSends) {
  OpenEdit();
  Click(20, 20);
  EXPECT_TRUE(backend_->TextInputEnabled());
  Type(u"abc");
  Key(kKeyBackspace);
  EXPECT_EQ(Var(u"sends"), "0");
  Key(kKeyEnter);
  EXPECT_EQ(Var(u"sends"), "1");
  EXPECT_EQ(Var(u"sent"), "ab");
  EXPECT_EQ(On(u"edit", "return (GetText());"), "ab");
}

TEST_F(EditBoxTest, MethodsCheckTheirArguments) {
  OpenEdit(R"(text="first")");
  EXPECT_EQ(On(u"edit", "return (GetText());"), "first");
  int32_t status = 0;
  On(u"edit", "SetText();", &status);
  EXPECT_NE(status, 0);
  On(u"edit", "return (GetText(1));", &status);
  EXPECT_NE(status, 0);
  On(u"edit", "SetText(\"second\");", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(On(u"edit", "return (GetText());"), "second");
  EXPECT_EQ(Var(u"sends"), "0");
}

TEST_F(EditBoxTest, SecretTextIsDrawnMasked) {
  Open(EditWindow("secret", 10, R"(text="abc" secret="true")") +
           EditWindow("stars", 40, R"(text="***")") + EditWindow("clear", 70, R"(text="abc")"),
       120, 100, "", kEditFont);
  EXPECT_EQ(On(u"secret", "return (GetText());"), "abc");  // the real text
  const std::vector<uint32_t> secret = Band(10, 30);
  EXPECT_EQ(secret, Band(40, 60));
  EXPECT_NE(secret, Band(70, 90));
}

TEST_F(EditBoxTest, CaretBlinksBetweenItsColours) {
  OpenEdit(R"(cursor_on_color="#FF0000" cursor_off_color="#00FF00")");
  Click(11, 20);  // the caret goes to the start of the empty text: x = 10 + 2
  EXPECT_EQ(Pixel(12, 20), 0xFFFF0000);
  Step(500);
  EXPECT_EQ(Pixel(12, 20), 0xFF00FF00);
  Step(500);
  EXPECT_EQ(Pixel(12, 20), 0xFFFF0000);
}

TEST_F(EditBoxTest, SelectionKeepsItsColoursAlpha) {
  OpenEdit(R"(selection_color="0x80FFFFFF")");
  Click(20, 20);
  Type(u"      ");
  Key('a', kModCtrl);
  const uint32_t selected = Pixel(14, 20);
  EXPECT_NEAR(static_cast<double>((selected >> 16) & 0xFF), 128.0, 2.0) << std::hex << selected;
  EXPECT_EQ(selected >> 24, 0xFFu);
  EXPECT_EQ(Pixel(100, 20), 0xFF000000);  // past the text: the background
}

TEST_F(EditBoxTest, SizeLimitsClampProposals) {
  Open(R"(<window name="edit" type="EditBox" offset="0,0,50,20" min_size="40,10"
                   max_size="80,30"/>)",
       100, 40);
  struct Case {
    SizeI proposed, result;
  };
  for (const Case& c :
       {Case{{10, 5}, {40, 10}}, Case{{90, 50}, {80, 30}}, Case{{60, 20}, {60, 20}}}) {
    SizeI size = c.proposed;
    Child(u"edit")->Notify(kNotifySizeRequest, reinterpret_cast<uintptr_t>(&size));
    EXPECT_EQ(size.width, c.result.width);
    EXPECT_EQ(size.height, c.result.height);
  }
}

}  // namespace
}  // namespace vk2::test
