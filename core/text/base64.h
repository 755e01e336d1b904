// Unpadded Base64 (RFC 4648 alphabet) between bytes and wide text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2 {

inline constexpr int32_t kErrBadBase64 = -16;

// floor(4 x count / 3) characters, one more when count is not a multiple of 3; no '=' padding.
// Empty for no bytes, and for inputs whose text would not fit a string (over 3 GiB).
TString Base64Encode(const uint8_t* bytes, size_t count);

// Decodes `length` characters of `text` (-1: up to the terminator) into `out` (replaced) and
// returns the byte count. Up to two trailing '=' are accepted and ignored. Text that cannot have
// come from an encoder (a character outside the alphabet, or a lone character in the last group)
// gives kErrBadBase64 and an empty `out`; one character or none decodes to nothing.
int32_t Base64Decode(const char16_t* text, int32_t length, TArray<uint8_t>* out);
inline int32_t Base64Decode(const TString& text, TArray<uint8_t>* out) {
  return Base64Decode(text.c_str(), static_cast<int32_t>(text.Length()), out);
}

}  // namespace vk2
