#include "oru/gui/controls/edit_box_part.h"

#include <new>
#include <string>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "oru/gui/host/host_window_object.h"

namespace vk2::gui {

int32_t EditBoxPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) EditBoxPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

RefPtr<MEditBox> EditBoxPart::Face() {
  if (RefPtr<MEditBox> face = vk2::Query<MEditBox>(Outer(), kIID_MEditBox)) return face;
  return RefPtr<MEditBox>(this);
}

int32_t EditBoxPart::CaretIndexAt(const PointI* point) {
  (void)point;
  return -1;
}

void EditBoxPart::CaretToPointer(const PointI* point, bool extend) {
  if (!point) return;
  const int32_t index = Face()->CaretIndexAt(point);
  if (index < 0) return;  // nobody measured: the caret stays
  Apply(text_.PlaceCaret(index, extend));
}

int32_t EditBoxPart::SetText(const char16_t* text) {
  text_.SetText(text ? std::u16string_view(text) : std::u16string_view());
  Repaint();
  return 0;
}

int32_t EditBoxPart::GetText(TString* text) {
  if (!text) return kErrMissingArg;
  *text = TString(std::u16string_view(text_.Text()));
  return 0;
}

int32_t EditBoxPart::SetSecret(int32_t secret) {
  text_.SetSecret(secret != 0);
  Repaint();
  return 0;
}

int32_t EditBoxPart::SetMaxLength(int32_t length) {
  text_.SetMaxLength(length);
  Repaint();
  return 0;
}

int32_t EditBoxPart::SetSelection(int32_t start, int32_t end) {
  text_.PlaceCaret(start, false);
  text_.PlaceCaret(end, true);
  Repaint();
  return 0;
}

int32_t EditBoxPart::GetSelection(int32_t* start, int32_t* end) {
  if (!start || !end) return kErrMissingArg;
  *start = text_.SelectionStart();
  *end = text_.SelectionEnd();
  return 0;
}

int32_t EditBoxPart::OnHitCode(PointI point) {
  const SizeI size = VirtualSize();
  if (point.x < 0 || point.y < 0 || point.x >= size.width || point.y >= size.height) return 0;
  return kHitActive | kHitInputFocus;
}

void EditBoxPart::Blink(bool restart) {
  if (blinkTimer_) StopTimer(blinkTimer_);
  blinkTimer_ = 0;
  caretShown_ = focused_ && (restart || !caretShown_);
  Repaint();
  if (!focused_ || !Loop()) return;
  blinkTimer_ = StartTimer(kCaretBlinkMs, [this] {
    blinkTimer_ = 0;
    Blink(false);
  });
}

void EditBoxPart::Apply(const EditOutcome& outcome) {
  if (outcome.moved || outcome.changed) Blink(true);  // the caret shows while the user works
  RefPtr<MWindowElement> outer(Outer());
  if (outcome.changed) outer->Notify(kNotifyEditChanged, 0);
  if (outcome.enter) outer->Notify(kNotifyEditEnter, 0);
}

bool EditBoxPart::Clipboard(int32_t key) {
  HostWindowObject* host = Host();
  if (!host) return false;
  std::u16string clip;
  switch (key) {
    case 'c':
    case 'C':
      if (text_.Copy(&clip)) host->SetClipboardText(clip.c_str());
      return true;
    case 'x':
    case 'X': {
      const EditOutcome outcome = text_.Cut(&clip);
      if (outcome.changed) host->SetClipboardText(clip.c_str());
      Apply(outcome);
      return true;
    }
    case 'v':
    case 'V': {
      char16_t* pasted = nullptr;
      if (host->GetClipboardText(&pasted) == 0 && pasted) {
        Apply(text_.Paste(pasted));
        host->FreeText(pasted);
      }
      return true;
    }
    default:
      return false;
  }
}

void EditBoxPart::OnNotify(uint32_t code, uintptr_t argument) {
  if (code != kNotifyFocus) return;
  focused_ = argument != 0;
  if (HostWindowObject* host = Host()) host->EnableTextInput(focused_ ? 1 : 0);
  Blink(true);
}

int32_t EditBoxPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)c;
  switch (code) {
    case kQueryLeftDown:
      // The press gave the focus (hit code); Shift extends the selection to the pointer.
      CaretToPointer(reinterpret_cast<const PointI*>(a), (b & kModShift) != 0);
      selecting_ = true;
      return 1;
    case kQueryPointerMove:
      if (!selecting_) return 0;
      CaretToPointer(reinterpret_cast<const PointI*>(a), true);
      return 1;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      selecting_ = false;
      return 1;
    case kQueryText: {
      const auto* typed = reinterpret_cast<const char16_t*>(a);
      if (!typed) return 0;
      Apply(text_.Type(std::u16string_view(typed, static_cast<size_t>(b))));
      return 1;
    }
    case kQueryKeyDown: {
      const auto* key = reinterpret_cast<const KeyEvent*>(a);
      if (!key) return 0;
      if ((key->modifiers & kModCtrl) && Clipboard(key->key)) return 1;
      const EditOutcome outcome = text_.Key(key->key, key->modifiers);
      Apply(outcome);
      return outcome.handled ? 1 : 0;
    }
    default:
      return 0;
  }
}

}  // namespace vk2::gui
