#include "foundation/script_support/script_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "foundation/format/formatter.h"

namespace vk2 {
namespace {

constexpr double kExactLimit = 9007199254740992.0;  // 2^53

int HexDigit(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(char16_t c) {
  return c >= '0' && c <= '9';
}

}  // namespace

uint32_t NumberToChars(double value, char16_t* out) {
  if (value > -kExactLimit && value < kExactLimit && value == std::trunc(value)) {
    // Integer fast path; also keeps counters and millisecond positions exact.
    int64_t v = static_cast<int64_t>(value);
    char16_t digits[24];
    uint32_t n = 0;
    uint64_t mag = v < 0 ? static_cast<uint64_t>(-v) : static_cast<uint64_t>(v);
    do {
      digits[n++] = static_cast<char16_t>('0' + mag % 10);
      mag /= 10;
    } while (mag);
    uint32_t len = 0;
    if (v < 0) out[len++] = '-';
    while (n)
      out[len++] = digits[--n];
    out[len] = 0;
    return len;
  }
  int32_t len = FormatWide(out, 32, u"%g", value);
  return len < 0 ? 0 : static_cast<uint32_t>(len);
}

TString NumberToText(double value) {
  char16_t buffer[40];
  uint32_t len = NumberToChars(value, buffer);
  return TString(TString::View(buffer, len));
}

TString IntToString(int32_t value) {
  return NumberToText(value);
}
TString DoubleToString(double value) {
  return NumberToText(value);
}

uint32_t ReadNumberText(const char16_t* text, uint32_t length, double* out) {
  *out = 0;
  if (!text || length == 0) return 0;
  if (length >= 2 && text[0] == '0' && text[1] == 'x') {
    uint64_t v = 0;
    uint32_t i = 2;
    for (; i < length && HexDigit(text[i]) >= 0; ++i) {
      v = v * 16 + static_cast<uint64_t>(HexDigit(text[i]));
      if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu;
    }
    if (i == 2) return 0;
    *out = static_cast<double>(v);
    return i;
  }
  uint32_t i = 0;
  while (i < length && IsWhiteSpaceChar(text[i]))
    ++i;
  uint32_t start = i;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t intStart = i;
  uint64_t small = 0;
  while (i < length && IsDigit(text[i])) {
    if (i - intStart < 18) small = small * 10 + static_cast<uint64_t>(text[i] - '0');
    ++i;
  }
  uint32_t intDigits = i - intStart;
  uint32_t fracDigits = 0;
  if (i < length && text[i] == '.') {
    uint32_t f = i + 1;
    while (f < length && IsDigit(text[f]))
      ++f;
    fracDigits = f - i - 1;
    if (intDigits + fracDigits > 0) i = f;
  }
  if (intDigits + fracDigits == 0) return 0;
  bool hasExponent = false;
  if (i < length && (text[i] == 'e' || text[i] == 'E')) {
    uint32_t e = i + 1;
    if (e < length && (text[e] == '+' || text[e] == '-')) ++e;
    uint32_t expDigits = e;
    while (e < length && IsDigit(text[e]))
      ++e;
    if (e > expDigits) {
      i = e;
      hasExponent = true;
    }
  }
  if (!hasExponent && fracDigits == 0 && intDigits <= 15) {
    double v = static_cast<double>(small);
    *out = negative ? -v : v;
    return i;
  }
  // General case: the syntax is checked above, so the standard conversion sees only digits.
  char local[128];
  char* buffer = local;
  uint32_t count = i - start;
  std::string heap;
  if (count >= sizeof(local)) {
    heap.resize(count);
    buffer = heap.data();
  }
  for (uint32_t k = 0; k < count; ++k)
    buffer[k] = static_cast<char>(text[start + k]);
  const char* first = buffer;
  if (*first == '+') ++first;
  double v = 0;
  auto [ptr, ec] = std::from_chars(first, buffer + count, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small gives zero, as the C library's reader does.
    bool tiny = false;
    for (const char* p = first; p < buffer + count; ++p) {
      if (*p == 'e' || *p == 'E') {
        tiny = p[1] == '-';
        break;
      }
    }
    bool neg = *first == '-';
    v = tiny ? (neg ? -0.0 : 0.0) : (neg ? -HUGE_VAL : HUGE_VAL);
  } else if (ec != std::errc()) {
    return 0;
  }
  (void)ptr;
  *out = v;
  return i;
}

bool IsNumberText(const char16_t* text, uint32_t length, double* out) {
  return length != 0 && ReadNumberText(text, length, out) == length;
}

bool IsWhiteSpaceChar(char16_t c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsIdentifierStart(char16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIdentifierChar(char16_t c, bool allowDigits) {
  return IsIdentifierStart(c) || (allowDigits && IsDigit(c));
}

bool IsValidIdentifier(const char16_t* text) {
  if (!text || !*text || !IsIdentifierStart(*text)) return false;
  for (++text; *text; ++text) {
    if (!IsIdentifierChar(*text, true)) return false;
  }
  return true;
}

bool IsValidIdentifierNarrow(const char* text) {
  if (!text || !*text || !IsIdentifierStart(static_cast<unsigned char>(*text))) return false;
  for (++text; *text; ++text) {
    if (!IsIdentifierChar(static_cast<unsigned char>(*text), true)) return false;
  }
  return true;
}

uint32_t ParseUidText(const char16_t* text) {
  if (!text || text[0] != '#') return 0;
  const char16_t* p = text + 1;
  while (IsWhiteSpaceChar(*p))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
  uint64_t v = 0;
  bool saturated = false;
  for (; HexDigit(*p) >= 0; ++p) {
    v = v * 16 + static_cast<uint64_t>(HexDigit(*p));
    if (v > 0xFFFFFFFFu) {
      v = 0xFFFFFFFFu;
      saturated = true;
    }
  }
  uint32_t result = static_cast<uint32_t>(v);
  if (negative && !saturated) result = 0u - result;
  return result;
}

TString FormatUidText(uint32_t uid) {
  char16_t text[10];
  text[0] = '#';
  for (int i = 0; i < 8; ++i) {
    uint32_t d = (uid >> (28 - 4 * i)) & 0xF;
    text[1 + i] = static_cast<char16_t>(d < 10 ? '0' + d : 'A' + d - 10);
  }
  text[9] = 0;
  return TString(TString::View(text, 9));
}

}  // namespace vk2
