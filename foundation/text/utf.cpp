#include "foundation/text/utf.h"

#include <cstdint>
#include <cstring>

namespace vk2 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the well-formed UTF-8 sequence at p (1 to 4), or 0 when the byte at p does not start
// one. Follows the table of well-formed byte sequences: the second byte's range depends on the
// lead byte, which rules out overlong forms, surrogates and code points past U+10FFFF.
size_t SequenceAt(const unsigned char* p, size_t left, char32_t* cp) {
  const unsigned char b0 = p[0];
  if (b0 < 0x80) {
    *cp = b0;
    return 1;
  }
  size_t n;
  unsigned char lo = 0x80, hi = 0xBF;
  char32_t v;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
    v = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    v = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    v = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (left < n || p[1] < lo || p[1] > hi) return 0;
  v = (v << 6) | (p[1] & 0x3F);
  for (size_t i = 2; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    v = (v << 6) | (p[i] & 0x3F);
  }
  *cp = v;
  return n;
}

// Number of leading bytes below 0x80, eight at a time where possible.
size_t AsciiRun(const unsigned char* p, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < count && p[i] < 0x80)
    ++i;
  return i;
}

template <bool kWrite>
size_t DecodeUtf8(const char* text, size_t count, char16_t* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  size_t units = 0;
  size_t i = 0;
  while (i < count) {
    const size_t run = AsciiRun(p + i, count - i);
    if constexpr (kWrite) {
      for (size_t k = 0; k < run; ++k)
        out[units + k] = p[i + k];
    }
    units += run;
    i += run;
    if (i == count) break;
    char32_t cp;
    size_t n = SequenceAt(p + i, count - i, &cp);
    if (n == 0) {
      cp = p[i];  // not UTF-8: the byte is a Latin-1 character
      n = 1;
    }
    i += n;
    if (cp >= 0x10000) {
      if constexpr (kWrite) {
        out[units] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out[units + 1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      }
      units += 2;
    } else {
      if constexpr (kWrite) out[units] = static_cast<char16_t>(cp);
      units += 1;
    }
  }
  return units;
}

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

template <bool kWrite>
size_t EncodeUtf8(const char16_t* text, size_t count, char* out) {
  size_t bytes = 0;
  auto put = [&](unsigned v) {
    if constexpr (kWrite) out[bytes] = static_cast<char>(v);
    ++bytes;
  };
  for (size_t i = 0; i < count; ++i) {
    char32_t cp = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < count && IsLowSurrogate(text[i + 1])) {
      cp = 0x10000 + ((char32_t{text[i]} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      put(cp);
    } else if (cp < 0x800) {
      put(0xC0 | (cp >> 6));
      put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      put(0xE0 | (cp >> 12));
      put(0x80 | ((cp >> 6) & 0x3F));
      put(0x80 | (cp & 0x3F));
    } else {
      put(0xF0 | (cp >> 18));
      put(0x80 | ((cp >> 12) & 0x3F));
      put(0x80 | ((cp >> 6) & 0x3F));
      put(0x80 | (cp & 0x3F));
    }
  }
  return bytes;
}

}  // namespace

size_t Utf16LengthOfUtf8(const char* text, size_t count) {
  return DecodeUtf8<false>(text, count, nullptr);
}
size_t Utf8ToUtf16(const char* text, size_t count, char16_t* out) {
  return DecodeUtf8<true>(text, count, out);
}
size_t Utf8LengthOfUtf16(const char16_t* text, size_t count) {
  return EncodeUtf8<false>(text, count, nullptr);
}
size_t Utf16ToUtf8(const char16_t* text, size_t count, char* out) {
  return EncodeUtf8<true>(text, count, out);
}

}  // namespace vk2
