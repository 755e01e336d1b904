#include "oru/gui/controls/edit_text.h"

#include <gtest/gtest.h>

#include "interfaces/gui/window_element.h"

namespace vk2::test {
namespace {

TEST(EditTextTest, TypingReplacesTheSelectionAndMovesTheCaret) {
  EditText edit;
  edit.SetText(u"hello world");
  EXPECT_EQ(edit.Caret(), 11);
  edit.PlaceCaret(6, false);
  edit.PlaceCaret(11, true);
  EXPECT_EQ(edit.SelectedText(), u"world");
  const EditOutcome typed = edit.Type(u"there");
  EXPECT_TRUE(typed.changed);
  EXPECT_EQ(edit.Text(), u"hello there");
  EXPECT_FALSE(edit.HasSelection());
  edit.Type(u"\n!\t");  // control characters never enter one line
  EXPECT_EQ(edit.Text(), u"hello there!");
}

TEST(EditTextTest, KeysMoveSelectAndDelete) {
  struct Step {
    int32_t key;
    uint32_t modifiers;
    const char16_t* text;
    int32_t caret, start, end;
  };
  EditText edit;
  edit.SetText(u"one two three");
  const Step steps[] = {
      {kKeyHome, 0, u"one two three", 0, 0, 0},
      {kKeyRight, kModCtrl, u"one two three", 4, 4, 4},
      {kKeyRight, kModShift | kModCtrl, u"one two three", 8, 4, 8},
      {kKeyLeft, 0, u"one two three", 4, 4, 4},  // collapses to the selection's start
      {kKeyEnd, kModShift, u"one two three", 13, 4, 13},
      {kKeyBackspace, 0, u"one ", 4, 4, 4},
      {kKeyBackspace, kModCtrl, u"", 0, 0, 0},
  };
  for (const Step& s : steps) {
    edit.Key(s.key, s.modifiers);
    EXPECT_EQ(edit.Text(), s.text);
    EXPECT_EQ(edit.Caret(), s.caret);
    EXPECT_EQ(edit.SelectionStart(), s.start);
    EXPECT_EQ(edit.SelectionEnd(), s.end);
  }
  edit.SetText(u"abc");
  edit.Key(kKeyHome, 0);
  EXPECT_TRUE(edit.Key(kKeyDelete, 0).changed);
  EXPECT_EQ(edit.Text(), u"bc");
  EXPECT_FALSE(edit.Key(kKeyBackspace, 0).changed);  // at the start: nothing to remove
  EXPECT_TRUE(edit.Key(kKeyEnter, 0).enter);
  EXPECT_FALSE(edit.Key(kKeyTab, 0).handled);
  edit.Key('a', kModCtrl);
  EXPECT_EQ(edit.SelectedText(), u"bc");
}

TEST(EditTextTest, ClipboardCopiesCutsAndPastes) {
  EditText edit;
  edit.SetText(u"copy me");
  edit.PlaceCaret(0, false);
  edit.PlaceCaret(4, true);
  std::u16string clip;
  EXPECT_TRUE(edit.Copy(&clip));
  EXPECT_EQ(clip, u"copy");
  EXPECT_TRUE(edit.Cut(&clip).changed);
  EXPECT_EQ(edit.Text(), u" me");
  edit.Key(kKeyEnd, 0);
  edit.Paste(u" and paste\r\n");
  EXPECT_EQ(edit.Text(), u" me and paste");
  edit.Key(kKeyHome, kModShift);
  EXPECT_FALSE(edit.Cut(nullptr).changed);
}

TEST(EditTextTest, SecretTextIsMaskedAndCannotBeCopiedOut) {
  EditText edit;
  edit.SetSecret(true);
  edit.SetText(u"pa ss");
  EXPECT_EQ(edit.Shown(), u"*****");
  edit.SelectAll();
  std::u16string clip = u"untouched";
  EXPECT_FALSE(edit.Copy(&clip));
  EXPECT_FALSE(edit.Cut(&clip).changed);
  EXPECT_EQ(clip, u"untouched");
  edit.Key(kKeyEnd, 0);
  edit.Key(kKeyLeft, kModCtrl);  // no words in a secret: to the start
  EXPECT_EQ(edit.Caret(), 0);
}

TEST(EditTextTest, TheMaximumLengthCutsWhatIsTypedOrSet) {
  EditText edit;
  edit.SetMaxLength(5);
  edit.SetText(u"abcdefg");
  EXPECT_EQ(edit.Text(), u"abcde");
  EXPECT_FALSE(edit.Type(u"x").changed);
  edit.Key(kKeyHome, kModShift);
  edit.Type(u"123456");
  EXPECT_EQ(edit.Text(), u"12345");
}

}  // namespace
}  // namespace vk2::test
