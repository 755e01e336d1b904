// UTF-8 <-> UTF-16 conversion for text at the OS boundary.
//
// Reading narrow text: each well-formed UTF-8 sequence (shortest form, no surrogates, at most
// U+10FFFF) becomes its code point; any byte that does not start one is read as Latin-1 on its
// own, and reading resumes at the next byte. Legacy single-byte text (playlists, tags) therefore
// survives, and no input is ever refused.
// Writing narrow text: code points as UTF-8, pairs joined, a lone surrogate as U+FFFD.
//
// Measure first, then convert into a buffer of exactly that size; counts are in units and
// embedded zeros are ordinary units.
#pragma once

#include <cstddef>

namespace vk2 {

size_t Utf16LengthOfUtf8(const char* text, size_t count);
// Writes Utf16LengthOfUtf8(text, count) units to `out` and returns that count.
size_t Utf8ToUtf16(const char* text, size_t count, char16_t* out);

size_t Utf8LengthOfUtf16(const char16_t* text, size_t count);
// Writes Utf8LengthOfUtf16(text, count) bytes to `out` and returns that count.
size_t Utf16ToUtf8(const char16_t* text, size_t count, char* out);

}  // namespace vk2
