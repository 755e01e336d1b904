// The edit box part: EditText on a window part. It takes the keyboard focus on a press, turns
// on text input while focused, blinks its caret on the loop clock and reaches the clipboard
// through its host. The wrapper draws the text, caret and selection it reads from here.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/edit_text.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

inline constexpr uint32_t kCaretBlinkMs = 500;

class EditBoxPart final : public WindowPartOf<EditBoxPart, MEditBox, kIID_MEditBox> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t SetText(const char16_t* text) override;
  int32_t GetText(TString* text) override;
  int32_t SetSecret(int32_t secret) override;
  int32_t SetMaxLength(int32_t length) override;
  int32_t GetCaret() override { return text_.Caret(); }
  int32_t SetSelection(int32_t start, int32_t end) override;
  int32_t GetSelection(int32_t* start, int32_t* end) override;
  int32_t CaretVisible() override { return caretShown_ ? 1 : 0; }
  int32_t CaretIndexAt(const PointI* point) override;

  int32_t OnHitCode(PointI point) override;
  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit EditBoxPart(MUnknown* outer) : WindowPartOf(outer) {}
  ~EditBoxPart() override = default;

  void Apply(const EditOutcome& outcome);
  bool Clipboard(int32_t key);
  void Blink(bool restart);
  RefPtr<MEditBox> Face();
  // Places the caret at the pointer (the wrapper measures); `extend` keeps the anchor.
  void CaretToPointer(const PointI* point, bool extend);

  EditText text_;
  bool focused_ = false;
  bool caretShown_ = false;
  bool selecting_ = false;  // the left button is held after a press in the box
  uint64_t blinkTimer_ = 0;
};

}  // namespace vk2::gui
