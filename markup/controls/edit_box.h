// The edit box (`MML_Edit`, window type `EditBox`): a one-line text field over the GUI layer's
// edit part. The part edits (keys, typing, clipboard, caret blink, focus); the control draws
// the background of the focused or unfocused state, the text (masked when secret), the
// selection and the caret, measures caret positions with its font, publishes `GetText` and
// `SetText` and fires `OnEditSend` when Enter is pressed.
#pragma once

#include <cstdint>

#include "interfaces/gui/controls.h"
#include "markup/controls/control_base.h"

namespace vk2::markup {

class EditBox final : public MarkupWindow {
 public:
  static constexpr uint32_t kDefaultCaretOn = 0xFF00FFFF;
  static constexpr uint32_t kDefaultCaretOff = 0x0000FFFF;
  static constexpr uint32_t kDefaultSelection = 0x80FFFF00;
  static constexpr uint32_t kDefaultFontColor = 0xFF000000;

  explicit EditBox(MUnknown* controlling);

  // The part's MEditBox (no reference), or null.
  MEditBox* EditPart();

  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HitCode(const PointI* point) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t HasNoLook() override { return 0; }
  void LoadProperties(MInterfaceDefinition* iface) override;

  // The callback of MEditBox: the caret index nearest `point`, -1 without a font.
  int32_t CaretIndexAt(const PointI* point);

  // The drawing steps (the caret's blink value 0.0 to 1.0).
  bool DrawBackground(MCanvas* canvas, bool active, const SizeI& size);
  void DrawCaret(MCanvas* canvas, const RectI& rect, double blink);
  void DrawSelection(MCanvas* canvas, const RectI& rect);

 protected:
  void SetUpControl() override;
  MUnknown* QueryMore(const Guid& iid) override;

 private:
  class Face final : public ElementFace<MEditBox> {
   public:
    explicit Face(EditBox* owner);
    int32_t SetText(const char16_t* text) override;
    int32_t GetText(TString* text) override;
    int32_t SetSecret(int32_t secret) override;
    int32_t SetMaxLength(int32_t length) override;
    int32_t GetCaret() override;
    int32_t SetSelection(int32_t start, int32_t end) override;
    int32_t GetSelection(int32_t* start, int32_t* end) override;
    int32_t CaretVisible() override;
    int32_t CaretIndexAt(const PointI* point) override;

   private:
    EditBox* edit_;
  };

  // The text's area inside the window (its offsets taken off).
  RectI TextRect();
  TString ShownText();

  Face face_;
  MEditBox* part_ = nullptr;
  RefPtr<MImageStyleDrawing> inactive_, active_;
  uint32_t caretOn_ = kDefaultCaretOn;
  uint32_t caretOff_ = kDefaultCaretOff;
  uint32_t selection_ = kDefaultSelection;
  uint32_t fontColor_ = kDefaultFontColor;
  int32_t offsets_[4] = {0, 0, 0, 0};
  bool secret_ = false;
  bool focused_ = false;
  int32_t scroll_ = 0;
};

}  // namespace vk2::markup
