// Where an edit box's text lies: how far it scrolls sideways so the caret stays in view, and
// which caret position a point is nearest to. Widths come from the caller's font.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vk2::markup {

// The width of the first n characters of the shown text.
using PrefixWidth = std::function<int32_t(int32_t n)>;

// The scroll (pixels hidden at the left) that keeps `caretX` inside `width` pixels, changing
// `scroll` as little as possible; never scrolls past the text's end or before its start.
int32_t ScrollToShowCaret(int32_t scroll, int32_t caretX, int32_t textWidth, int32_t width);
// The caret index (0 to length) whose position lies nearest `x` (text coordinates).
int32_t NearestCaretIndex(const PrefixWidth& prefixWidth, int32_t length, int32_t x);
// The text as shown: every UTF-16 unit as `mask` when secret.
std::u16string ShownText(const std::u16string& text, bool secret, char16_t mask);

}  // namespace vk2::markup
