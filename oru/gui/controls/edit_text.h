// The text of an edit box and what keys and the clipboard do to it: a caret, a selection from
// an anchor to the caret, typing that replaces the selection, and a secret mode that shows
// every character as one mask character and lets nothing be copied out.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/text/tstring.h"

namespace vk2 {

struct EditOutcome {
  bool changed = false;  // the text changed (notification 257)
  bool moved = false;    // the caret or the selection moved (repaint)
  bool enter = false;    // Enter was pressed (notification 256)
  bool handled = false;  // the key belonged to the edit box
};

class EditText {
 public:
  static constexpr char16_t kSecretMask = u'*';

  const std::u16string& Text() const { return text_; }
  // Replaces the text; the caret goes to its end, nothing selected.
  void SetText(std::u16string_view text);
  // The text as drawn: masked when secret.
  std::u16string Shown() const;
  void SetSecret(bool secret) { secret_ = secret; }
  bool Secret() const { return secret_; }
  // 0: no limit. A longer text is cut when set or typed.
  void SetMaxLength(int32_t length);

  int32_t Caret() const { return caret_; }
  int32_t SelectionStart() const { return std::min(anchor_, caret_); }
  int32_t SelectionEnd() const { return std::max(anchor_, caret_); }
  bool HasSelection() const { return anchor_ != caret_; }
  std::u16string SelectedText() const;
  // Places the caret (a click; `extend` keeps the anchor, as Shift+click).
  EditOutcome PlaceCaret(int32_t index, bool extend);
  EditOutcome SelectAll();

  // Printable text typed (text input events).
  EditOutcome Type(std::u16string_view typed);
  // Editing and moving keys (the window part's key codes and modifiers).
  EditOutcome Key(int32_t key, uint32_t modifiers);

  // The clipboard's side of Ctrl+C, Ctrl+X, Ctrl+V: copying gives the text to put there
  // (nothing when secret or nothing selected), pasting takes what it holds.
  bool Copy(std::u16string* clip) const;
  EditOutcome Cut(std::u16string* clip);
  EditOutcome Paste(std::u16string_view clip);

 private:
  EditOutcome ReplaceSelection(std::u16string_view with);
  EditOutcome MoveTo(int32_t index, bool extend);
  int32_t WordLeft(int32_t from) const;
  int32_t WordRight(int32_t from) const;

  std::u16string text_;
  int32_t caret_ = 0;
  int32_t anchor_ = 0;
  int32_t maxLength_ = 0;
  bool secret_ = false;
};

}  // namespace vk2
