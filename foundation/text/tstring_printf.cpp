// Formatting into a string in place: measure, make room (moving the tail), then format.
#include <algorithm>
#include <cstring>

#include "foundation/format/formatter.h"
#include "foundation/text/string_header.h"
#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

int32_t FormatInto(char16_t* buffer, int32_t capacity, const char16_t* format, FormatArgs args) {
  return FormatWideArgs(buffer, capacity, format, args);
}
int32_t FormatInto(char* buffer, int32_t capacity, const char* format, FormatArgs args) {
  return FormatNarrowArgs(buffer, capacity, format, args);
}

// True when a text argument points into [begin, end): formatting after a resize would read
// freed or moved characters.
bool ArgumentsPointInto(FormatArgs args, const void* begin, const void* end) {
  const auto b = reinterpret_cast<uintptr_t>(begin);
  const auto e = reinterpret_cast<uintptr_t>(end);
  for (const FormatArg& a : args) {
    uintptr_t at = 0;
    if (a.kind == FormatArg::Kind::kWideText) at = reinterpret_cast<uintptr_t>(a.wide);
    if (a.kind == FormatArg::Kind::kNarrowText) at = reinterpret_cast<uintptr_t>(a.narrow);
    if (at >= b && at < e) return true;
  }
  return false;
}

}  // namespace

template <class CharT>
int32_t BasicTString<CharT>::ReplacePrintfArgs(int32_t pos, int32_t count, const CharT* format,
                                               FormatArgs args) {
  const int32_t measured = FormatInto(static_cast<CharT*>(nullptr), 0, format, args);
  if (measured < 0) return measured;
  const uint32_t length = Length();
  // Out-of-range positions are clamped: a negative or too large pos is the end, a negative or
  // too large count reaches the end.
  const uint32_t at = (pos < 0 || static_cast<uint32_t>(pos) > length) ? length : pos;
  const uint32_t removed =
      (count < 0 || static_cast<uint32_t>(count) > length - at) ? length - at : count;
  const uint32_t k = static_cast<uint32_t>(measured);
  const uint32_t tail = length - at - removed;
  if (k > UINT32_MAX - 2 - (length - removed)) return -1;  // the block could not hold it
  const uint32_t newLength = length - removed + k;

  // Arguments that read this string's own characters keep the old buffer alive and unmoved.
  BasicTString keep;
  if (chars_ && ArgumentsPointInto(args, chars_, chars_ + HeaderOf(chars_)->capacity)) {
    keep = *this;
  }
  if (k < removed) {
    if (!MakeUnique()) return -1;
    std::memmove(chars_ + at + k, chars_ + at + removed, tail * sizeof(CharT));
    if (!Reserve(newLength + 1)) return -1;
  } else {
    if (!Reserve(newLength + 1)) return -1;
    std::memmove(chars_ + at + k, chars_ + at + removed, tail * sizeof(CharT));
  }
  if (k) {
    // Exactly k characters, so the formatter's terminator cannot land on the tail.
    FormatInto(chars_ + at, static_cast<int32_t>(k), format, args);
  }
  chars_[newLength] = 0;
  return measured;
}

template int32_t BasicTString<char16_t>::ReplacePrintfArgs(int32_t, int32_t, const char16_t*,
                                                           FormatArgs);
template int32_t BasicTString<char>::ReplacePrintfArgs(int32_t, int32_t, const char*, FormatArgs);

}  // namespace vk2
