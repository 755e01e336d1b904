#include "markup/controls/edit_layout.h"

#include <algorithm>
#include <cstdlib>

namespace vk2::markup {

int32_t ScrollToShowCaret(int32_t scroll, int32_t caretX, int32_t textWidth, int32_t width) {
  if (width <= 0) return std::max(0, caretX);
  if (caretX < scroll) scroll = caretX;
  // One pixel for the caret itself.
  if (caretX + 1 > scroll + width) scroll = caretX + 1 - width;
  // Text that fits shows from its start; a shortened text does not leave space at the right.
  scroll = std::min(scroll, std::max(0, textWidth + 1 - width));
  return std::max(0, scroll);
}

int32_t NearestCaretIndex(const PrefixWidth& prefixWidth, int32_t length, int32_t x) {
  int32_t best = 0;
  int32_t bestDistance = std::abs(x);
  for (int32_t i = 1; i <= length; ++i) {
    const int32_t distance = std::abs(prefixWidth(i) - x);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

std::u16string ShownText(const std::u16string& text, bool secret, char16_t mask) {
  if (!secret) return text;
  return std::u16string(text.size(), mask);
}

}  // namespace vk2::markup
