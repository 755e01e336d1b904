#include "component/script/script_text.h"

#include <cmath>

#include "foundation/format/formatter.h"
#include "foundation/text/number_parse.h"

namespace vk2 {
namespace {

constexpr double kExactLimit = 9007199254740992.0;  // 2^53

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
  int32_t consumed = ParseNumberText(text, out);
  return consumed > 0 ? static_cast<uint32_t>(consumed) : 0;
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
  // As strtoul in base 16 reads it: blanks, a sign and "0x" are taken; no digit gives 0.
  uint32_t uid = 0;
  return ReadUnsigned32(text + 1, 16, &uid) > 0 ? uid : 0;
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
