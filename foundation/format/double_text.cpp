#include "foundation/format/double_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vk2::format_detail {
namespace {

// Every double has a finite decimal expansion: at most 309 integer and 1074 fraction digits.
constexpr int kMaxExactChars = 1400;

// The value 0.d[0]d[1]...d[count-1] * 10^intLen. For values below 1 intLen is 0 and the digits
// are the fraction digits, leading zeros included.
struct ExactDigits {
  char d[kMaxExactChars];
  int count = 0;
  int intLen = 0;
};

void ToExactDigits(double magnitude, ExactDigits& out) {
  // The number of fraction digits that represents the value exactly is the number of binary
  // fraction places of its significand.
  int fractionDigits = 0;
  if (magnitude != 0) {
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const auto significand = static_cast<uint64_t>(std::ldexp(fraction, 53));
    fractionDigits = std::max(0, 53 - exponent - std::countr_zero(significand));
  }
  char text[kMaxExactChars];
  const auto result =
      std::to_chars(text, text + sizeof(text), magnitude, std::chars_format::fixed, fractionDigits);
  const char* end = result.ptr;
  const char* point = std::find(static_cast<const char*>(text), end, '.');
  out.count = 0;
  out.intLen = 0;
  if (!(point - text == 1 && text[0] == '0')) {
    out.intLen = static_cast<int>(point - text);
    std::memcpy(out.d, text, out.intLen);
    out.count = out.intLen;
  }
  if (point != end) {
    const int n = static_cast<int>(end - point - 1);
    std::memcpy(out.d + out.count, point + 1, n);
    out.count += n;
  }
}

// Rounds the digits, read with `intLen` integer digits, half up to `fraction` fraction digits.
// The result digits start at out[*start]; returns the integer digit count, one more than
// `intLen` when the carry ran out of the top digit.
int RoundDigits(const ExactDigits& src, int intLen, int fraction, char* out, int* start) {
  const int keep = intLen + fraction;
  for (int i = 0; i < keep; ++i)
    out[i + 1] = i < src.count ? src.d[i] : '0';
  bool carry = keep < src.count && src.d[keep] >= '5';
  for (int i = keep; carry && i >= 1; --i) {
    if (out[i] == '9') {
      out[i] = '0';
    } else {
      ++out[i];
      carry = false;
    }
  }
  if (carry) {
    out[0] = '1';
    *start = 0;
    return intLen + 1;
  }
  *start = 1;
  return intLen;
}

}  // namespace

int RenderDouble(double magnitude, char conversion, int precision, bool keepZeros, char* out) {
  ExactDigits exact;
  ToExactDigits(magnitude, exact);

  // The decimal exponent is never negative: a magnitude below 1 keeps exponent 0 and shows a
  // leading 0 digit in the exponent form.
  int exponent = exact.intLen > 0 ? exact.intLen - 1 : 0;
  bool exponentForm = conversion == 'e' || conversion == 'E';
  int fraction = precision;
  if (conversion == 'g' || conversion == 'G') {
    if (exponent >= precision) {
      exponentForm = true;
      fraction = precision > 0 ? precision - 1 : 0;
    } else {
      fraction = std::max(precision - (exponent + 1), 0);
    }
  }

  char digits[kMaxExactChars];
  int start = 0;
  int intLen;
  if (exponentForm) {
    const int mantissaIntLen = std::min(exact.intLen, 1);
    intLen = RoundDigits(exact, mantissaIntLen, fraction, digits, &start);
    if (intLen == 2) {
      // 9.99 rounded up to 10.0: the digits after the leading 1 are all zero.
      intLen = 1;
      ++exponent;
    }
  } else {
    intLen = RoundDigits(exact, exact.intLen, fraction, digits, &start);
  }
  const char* intDigits = digits + start;
  const char* fractionDigits = intDigits + intLen;
  if (!keepZeros) {
    while (fraction > 0 && fractionDigits[fraction - 1] == '0')
      --fraction;
  }

  int pos = 0;
  if (intLen == 0) {
    out[pos++] = '0';
  } else {
    std::memcpy(out, intDigits, intLen);
    pos = intLen;
  }
  if (fraction > 0) {
    out[pos++] = '.';
    std::memcpy(out + pos, fractionDigits, fraction);
    pos += fraction;
  }
  if (exponentForm) {
    const bool upper = conversion == 'E' || conversion == 'G';
    out[pos++] = upper ? 'E' : 'e';
    out[pos++] = '+';
    out[pos++] = static_cast<char>('0' + exponent / 100 % 10);
    out[pos++] = static_cast<char>('0' + exponent / 10 % 10);
    out[pos++] = static_cast<char>('0' + exponent % 10);
  }
  return pos;
}

}  // namespace vk2::format_detail
