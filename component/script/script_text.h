// Text rules every module shares with the script language: how numbers print and read, what an
// identifier is, and the UID text that names a registered script object.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

// The one place that decides how a number prints. Integral values below 2^53 in magnitude print
// exactly; everything else prints as the formatter's "%g" (6 significant digits, 3-digit
// exponent). Negative zero prints as 0.
TString NumberToText(double value);
// Writes the text of NumberToText into `out` (at least 32 characters); returns its length.
uint32_t NumberToChars(double value, char16_t* out);
// Both follow NumberToText's policy; IntToString is "%d".
TString IntToString(int32_t value);
TString DoubleToString(double value);

// ParseNumberText over a counted text (the text must be terminated at `length`); returns the
// characters consumed (0: no number).
uint32_t ReadNumberText(const char16_t* text, uint32_t length, double* out);
// True when the whole (non-empty) text reads as a number.
bool IsNumberText(const char16_t* text, uint32_t length, double* out);

bool IsWhiteSpaceChar(char16_t c);
// ASCII letters and "_"; digits too when `allowDigits`.
bool IsIdentifierStart(char16_t c);
bool IsIdentifierChar(char16_t c, bool allowDigits);
bool IsValidIdentifier(const char16_t* text);
bool IsValidIdentifierNarrow(const char* text);

// "#" followed by a hexadecimal number (leading blanks and a sign allowed, saturating at
// 0xFFFFFFFF); 0 when the text is not a UID.
uint32_t ParseUidText(const char16_t* text);
inline uint32_t ParseUidText(const TString& text) {
  return ParseUidText(text.c_str());
}
// "#%08X".
TString FormatUidText(uint32_t uid);
// The text of an unregistered object.
inline constexpr char16_t kNullUidText[] = u"#NULL";

}  // namespace vk2
