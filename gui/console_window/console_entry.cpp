#include "gui/console_window/console_entry.h"

#include <algorithm>

#include "component/object/query.h"
#include "interfaces/graphics/canvas.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

// Every channel written, the source over what is there.
constexpr uint64_t kAllChannels = 0xF;
constexpr int32_t kCaretWidth = 1;
// Between the entry's edge and its line.
constexpr int32_t kConsoleEntryMargin = 2;
constexpr uint32_t kConsoleEntryTextColor = 0xFFFFFFFF;
// The outline shows where to type; it brightens while the entry has the keyboard.
constexpr uint32_t kOutlineColor = 0xFF808080;
constexpr uint32_t kFocusedOutlineColor = 0xFFFFFFFF;

}  // namespace

MEditBox* ConsoleEntry::EditPart() {
  return QueryBorrowed<MEditBox>(Outer(), kIID_MEditBox);
}

int32_t ConsoleEntry::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  const int32_t below = ModuleWindowCore::OnPaint(canvas, record);
  MFont* font = markup::WindowFont(this);
  MEditBox* part = EditPart();
  SizeI size;
  if (!canvas || !font || !part || GetValue(kValueSize, &size, sizeof size) != 0) return below;
  canvas->FrameRect(RectF{0, 0, static_cast<double>(size.width), static_cast<double>(size.height)},
                    1, 1, focused_ ? kFocusedOutlineColor : kOutlineColor, kAllChannels, 256,
                    false);
  const RectI room{kConsoleEntryMargin, kConsoleEntryMargin, size.width - kConsoleEntryMargin,
                   size.height - kConsoleEntryMargin};
  TString text;
  part->GetText(&text);
  const auto length = static_cast<int32_t>(text.Length());
  const auto width = [&](int32_t n) { return n <= 0 ? 0 : font->TextWidth(text.c_str(), n); };
  const int32_t caretX = width(std::clamp(part->GetCaret(), 0, length));
  // A line longer than the room slides left so that the caret stays in view.
  const int32_t left = room.left - std::max(0, caretX + kCaretWidth - room.Width());
  canvas->PushClipRect(room, kClipIntersect, 1);
  if (length > 0) {
    font->DrawText(canvas, text.c_str(), length,
                   RectI{left, room.top, left + width(length) + 1, room.bottom},
                   kTextVCenter | kTextSingleLine, kAllChannels, kConsoleEntryTextColor, 256);
  }
  if (focused_ && part->CaretVisible()) {
    const double x = left + caretX;
    canvas->FillRect(
        RectF{x, static_cast<double>(room.top), x + kCaretWidth, static_cast<double>(room.bottom)},
        kConsoleEntryTextColor, kAllChannels, 256, false);
  }
  canvas->PopClip(1);
  return 1;
}

int32_t ConsoleEntry::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyFocus) {
    focused_ = argument != 0;
    Repaint();
  }
  const int32_t answer = ModuleWindowCore::OnNotify(code, argument);
  if (code == kNotifyEditEnter && entered_) entered_();
  return answer;
}

}  // namespace vk2::gui
