#include "oru/gui/controls/edit_text.h"

#include <algorithm>

#include "interfaces/gui/window_element.h"

namespace vk2 {

namespace {

bool IsWordChar(char16_t c) {
  return c != u' ' && c != u'\t';
}

// One line: line breaks and other control characters typed or pasted become nothing.
std::u16string Printable(std::u16string_view text) {
  std::u16string kept;
  for (char16_t c : text) {
    if (c >= 0x20 && c != 0x7F) kept += c;
  }
  return kept;
}

}  // namespace

void EditText::SetText(std::u16string_view text) {
  text_ = Printable(text);
  if (maxLength_ > 0 && static_cast<int32_t>(text_.size()) > maxLength_) text_.resize(maxLength_);
  caret_ = anchor_ = static_cast<int32_t>(text_.size());
}

std::u16string EditText::Shown() const {
  return secret_ ? std::u16string(text_.size(), kSecretMask) : text_;
}

void EditText::SetMaxLength(int32_t length) {
  maxLength_ = std::max(0, length);
  if (maxLength_ > 0 && static_cast<int32_t>(text_.size()) > maxLength_) SetText(text_);
}

std::u16string EditText::SelectedText() const {
  return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

EditOutcome EditText::MoveTo(int32_t index, bool extend) {
  index = std::clamp(index, 0, static_cast<int32_t>(text_.size()));
  EditOutcome outcome;
  outcome.handled = true;
  const int32_t anchor = extend ? anchor_ : index;
  outcome.moved = index != caret_ || anchor != anchor_;
  caret_ = index;
  anchor_ = anchor;
  return outcome;
}

EditOutcome EditText::PlaceCaret(int32_t index, bool extend) {
  return MoveTo(index, extend);
}

EditOutcome EditText::SelectAll() {
  EditOutcome outcome = MoveTo(static_cast<int32_t>(text_.size()), false);
  outcome.moved = outcome.moved || anchor_ != 0;
  anchor_ = 0;
  return outcome;
}

EditOutcome EditText::ReplaceSelection(std::u16string_view with) {
  EditOutcome outcome;
  outcome.handled = true;
  std::u16string inserted = Printable(with);
  const int32_t start = SelectionStart();
  const int32_t removed = SelectionEnd() - start;
  if (maxLength_ > 0) {
    const int32_t room = maxLength_ - (static_cast<int32_t>(text_.size()) - removed);
    if (static_cast<int32_t>(inserted.size()) > room) inserted.resize(std::max(0, room));
  }
  if (removed == 0 && inserted.empty()) return outcome;
  text_.replace(start, removed, inserted);
  caret_ = anchor_ = start + static_cast<int32_t>(inserted.size());
  outcome.changed = true;
  outcome.moved = true;
  return outcome;
}

EditOutcome EditText::Type(std::u16string_view typed) {
  return ReplaceSelection(typed);
}

int32_t EditText::WordLeft(int32_t from) const {
  while (from > 0 && !IsWordChar(text_[from - 1]))
    --from;
  while (from > 0 && IsWordChar(text_[from - 1]))
    --from;
  return from;
}

int32_t EditText::WordRight(int32_t from) const {
  const int32_t size = static_cast<int32_t>(text_.size());
  while (from < size && IsWordChar(text_[from]))
    ++from;
  while (from < size && !IsWordChar(text_[from]))
    ++from;
  return from;
}

EditOutcome EditText::Key(int32_t key, uint32_t modifiers) {
  const bool shift = modifiers & kModShift;
  // Words are not told apart in a secret text: Ctrl moves to its ends.
  const bool word = (modifiers & kModCtrl) != 0;
  const int32_t end = static_cast<int32_t>(text_.size());
  switch (key) {
    case kKeyLeft:
      if (!shift && HasSelection()) return MoveTo(SelectionStart(), false);
      return MoveTo(word ? (secret_ ? 0 : WordLeft(caret_)) : caret_ - 1, shift);
    case kKeyRight:
      if (!shift && HasSelection()) return MoveTo(SelectionEnd(), false);
      return MoveTo(word ? (secret_ ? end : WordRight(caret_)) : caret_ + 1, shift);
    case kKeyHome:
      return MoveTo(0, shift);
    case kKeyEnd:
      return MoveTo(end, shift);
    case kKeyBackspace:
      if (!HasSelection())
        anchor_ = word ? (secret_ ? 0 : WordLeft(caret_)) : std::max(0, caret_ - 1);
      return ReplaceSelection(u"");
    case kKeyDelete:
      if (!HasSelection())
        anchor_ = word ? (secret_ ? end : WordRight(caret_)) : std::min(end, caret_ + 1);
      return ReplaceSelection(u"");
    case kKeyEnter: {
      EditOutcome outcome;
      outcome.handled = true;
      outcome.enter = true;
      return outcome;
    }
    default:
      break;
  }
  if (modifiers & kModCtrl && (key == 'a' || key == 'A')) return SelectAll();
  return {};
}

bool EditText::Copy(std::u16string* clip) const {
  if (secret_ || !HasSelection() || !clip) return false;
  *clip = SelectedText();
  return true;
}

EditOutcome EditText::Cut(std::u16string* clip) {
  if (!Copy(clip)) return {};
  return ReplaceSelection(u"");
}

EditOutcome EditText::Paste(std::u16string_view clip) {
  return ReplaceSelection(clip);
}

}  // namespace vk2
