// Numbers, booleans and white space as DUV attribute values write them. Every reader returns the
// characters it consumed, 0 when nothing was read. Locale-free.
#pragma once

#include <cstdint>
#include <string_view>

namespace vk2::markup {

bool IsMarkupBlank(char16_t c);
// Skips blanks, then commas (the separators of coordinate lists).
size_t SkipNumberSeparators(std::u16string_view text);

// After the separators: "0x" (lower-case x) reads a hexadecimal unsigned integer, anything else
// a decimal real.
int32_t ParseMarkupNumber(std::u16string_view text, double* out);
// After the separators: "0x" base 16, else base 10.
int32_t ParseUnsignedMarkup(std::u16string_view text, uint32_t* out);
// "0x" gives an unsigned hexadecimal value, else a signed decimal one.
int32_t ParseIntegerMarkup(std::u16string_view text, int32_t* out);
// "0" and "false" (any case) are false, any other non-empty text true; returns the length.
int32_t ParseBoolText(std::u16string_view text, bool* out);
bool IsNotBlank(std::u16string_view text);

}  // namespace vk2::markup
