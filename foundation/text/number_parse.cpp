#include "foundation/text/number_parse.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace vk2 {
namespace {

template <class CharT>
bool IsCSpace(CharT c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <class CharT>
bool IsDecimalDigit(CharT c) {
  return c >= '0' && c <= '9';
}

// Value of an ASCII digit in `base`, or -1.
template <class CharT>
int DigitValue(CharT c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') {
    v = static_cast<int>(c - '0');
  } else if (c >= 'a' && c <= 'z') {
    v = static_cast<int>(c - 'a') + 10;
  } else if (c >= 'A' && c <= 'Z') {
    v = static_cast<int>(c - 'A') + 10;
  }
  return v < base ? v : -1;
}

int32_t Consumed(std::ptrdiff_t n) {
  return static_cast<int32_t>(std::min<std::ptrdiff_t>(n, std::numeric_limits<int32_t>::max()));
}

// The digit run shared by the integer readers: blanks, sign, optional "0x" in base 16, digits.
// The magnitude saturates at `limit`; `overflow` tells whether it did.
struct IntegerScan {
  int32_t consumed = 0;
  bool negative = false;
  bool overflow = false;
  uint64_t magnitude = 0;
};

template <class CharT>
IntegerScan ScanInteger(const CharT* text, int base, uint64_t limit) {
  IntegerScan scan;
  if (!text || (base != 10 && base != 16)) return scan;
  const CharT* p = text;
  while (IsCSpace(*p))
    ++p;
  if (*p == '+' || *p == '-') scan.negative = *p++ == '-';
  // "0x" counts as a prefix only when a hex digit follows; otherwise the "0" alone is the number.
  if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2], 16) >= 0) {
    p += 2;
  }
  const CharT* digits = p;
  for (int d; (d = DigitValue(*p, base)) >= 0; ++p) {
    if (!scan.overflow) {
      scan.magnitude = scan.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      if (scan.magnitude > limit) scan.overflow = true;
    }
  }
  if (p == digits) return IntegerScan{};
  scan.consumed = Consumed(p - text);
  return scan;
}

template <class CharT>
int32_t ReadUnsignedT(const CharT* text, int base, uint32_t* out) {
  const auto scan = ScanInteger(text, base, std::numeric_limits<uint32_t>::max());
  uint32_t value = 0;
  if (scan.overflow) {
    value = std::numeric_limits<uint32_t>::max();
  } else {
    value = static_cast<uint32_t>(scan.magnitude);
    if (scan.negative) value = 0u - value;
  }
  *out = value;
  return scan.consumed;
}

template <class CharT>
int32_t ReadSignedT(const CharT* text, int base, int32_t* out) {
  // One past INT32_MAX: the magnitude of INT32_MIN.
  const uint64_t limit = uint64_t{1} << 31;
  const auto scan = ScanInteger(text, base, limit);
  int64_t value = static_cast<int64_t>(scan.magnitude);
  if (scan.negative) value = -value;
  if (scan.overflow) value = scan.negative ? INT32_MIN : INT32_MAX;
  *out = static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
  return scan.consumed;
}

template <class CharT>
bool StartsWithHexMark(const CharT* text) {
  return text && text[0] == '0' && text[1] == 'x';
}

template <class CharT>
int32_t ParseUnsignedTextT(const CharT* text, uint32_t* out) {
  return ReadUnsignedT(text, StartsWithHexMark(text) ? 16 : 10, out);
}

template <class CharT>
int32_t ParseIntegerTextT(const CharT* text, int32_t* out) {
  return ReadSignedT(text, StartsWithHexMark(text) ? 16 : 10, out);
}

template <class CharT>
int32_t ParseNumberTextT(const CharT* text, double* out) {
  *out = 0;
  if (!text) return 0;
  if (StartsWithHexMark(text)) {
    uint32_t v = 0;
    const int32_t n = ReadUnsignedT(text, 16, &v);
    *out = v;
    return n;
  }
  // Check the syntax ourselves so that from_chars never sees anything but a plain decimal real.
  const CharT* p = text;
  while (IsCSpace(*p))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const CharT* mantissa = p;
  size_t digitCount = 0;
  size_t integerDigits = 0;
  size_t firstNonzero = SIZE_MAX;  // index among all mantissa digits
  bool afterPoint = false;
  for (;; ++p) {
    if (IsDecimalDigit(*p)) {
      if (firstNonzero == SIZE_MAX && *p != '0') firstNonzero = digitCount;
      ++digitCount;
      if (!afterPoint) ++integerDigits;
    } else if (*p == '.' && !afterPoint) {
      afterPoint = true;
    } else {
      break;
    }
  }
  if (digitCount == 0) return 0;
  const CharT* end = p;
  int64_t exponent = 0;
  if (*p == 'e' || *p == 'E') {
    const CharT* q = p + 1;
    bool expNegative = false;
    if (*q == '+' || *q == '-') expNegative = *q++ == '-';
    if (IsDecimalDigit(*q)) {
      for (; IsDecimalDigit(*q); ++q) {
        if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
      }
      if (expNegative) exponent = -exponent;
      end = q;
    }
  }
  std::string narrow;
  narrow.reserve(static_cast<size_t>(end - mantissa) + 1);
  if (negative) narrow.push_back('-');
  for (const CharT* c = mantissa; c != end; ++c)
    narrow.push_back(static_cast<char>(*c));
  double value = 0;
  const auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value,
                                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow from the decimal magnitude, as strtod reports them.
    // The value is d.ddd x 10^(integerDigits - 1 - firstNonzero + exponent).
    const bool overflow =
        firstNonzero != SIZE_MAX &&
        static_cast<int64_t>(integerDigits) - 1 - static_cast<int64_t>(firstNonzero) + exponent >=
            0;
    value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    if (negative) value = -value;
  } else if (result.ec != std::errc() || result.ptr != narrow.data() + narrow.size()) {
    return 0;  // cannot happen after the syntax check; refuse rather than guess
  }
  *out = value;
  return Consumed(end - text);
}

}  // namespace

int32_t ReadUnsigned32(const char* text, int base, uint32_t* out) {
  return ReadUnsignedT(text, base, out);
}
int32_t ReadUnsigned32(const char16_t* text, int base, uint32_t* out) {
  return ReadUnsignedT(text, base, out);
}
int32_t ReadSigned32(const char* text, int base, int32_t* out) {
  return ReadSignedT(text, base, out);
}
int32_t ReadSigned32(const char16_t* text, int base, int32_t* out) {
  return ReadSignedT(text, base, out);
}
int32_t ParseUnsignedText(const char* text, uint32_t* out) {
  return ParseUnsignedTextT(text, out);
}
int32_t ParseUnsignedText(const char16_t* text, uint32_t* out) {
  return ParseUnsignedTextT(text, out);
}
int32_t ParseIntegerText(const char* text, int32_t* out) {
  return ParseIntegerTextT(text, out);
}
int32_t ParseIntegerText(const char16_t* text, int32_t* out) {
  return ParseIntegerTextT(text, out);
}
int32_t ParseNumberText(const char* text, double* out) {
  return ParseNumberTextT(text, out);
}
int32_t ParseNumberText(const char16_t* text, double* out) {
  return ParseNumberTextT(text, out);
}

}  // namespace vk2
