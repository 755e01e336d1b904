// The system's own printf-style formatter. Its output is what scripts see, so it does not
// depend on the C library's printf or on any locale.
//
// With a null buffer the functions only measure and return the full length; with a buffer they
// write at most `capacity` characters, add a terminator when there is room, and return the count
// written. A conversion whose argument is missing or of the wrong kind prints nothing. `%n` is
// not supported: it takes no argument and prints nothing, so no format text can write memory.
// %S converts across widths character by character: narrow bytes become Latin-1 characters,
// wide characters above U+00FF become "?".
#pragma once

#include <cstdint>

#include "foundation/format/format_arg.h"

namespace vk2 {

int32_t FormatWideArgs(char16_t* buffer, int32_t capacity, const char16_t* format, FormatArgs args);
int32_t FormatNarrowArgs(char* buffer, int32_t capacity, const char* format, FormatArgs args);

template <class... A>
int32_t FormatWide(char16_t* buffer, int32_t capacity, const char16_t* format, const A&... args) {
  const FormatArg packed[] = {MakeFormatArg(args)..., MakeFormatArg(0)};
  return FormatWideArgs(buffer, capacity, format, FormatArgs(packed, sizeof...(A)));
}

template <class... A>
int32_t FormatNarrow(char* buffer, int32_t capacity, const char* format, const A&... args) {
  const FormatArg packed[] = {MakeFormatArg(args)..., MakeFormatArg(0)};
  return FormatNarrowArgs(buffer, capacity, format, FormatArgs(packed, sizeof...(A)));
}

}  // namespace vk2
