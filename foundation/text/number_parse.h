// Strict, locale-free number readers. They read what the C library's strtol / strtoul / strtod
// read with a 32-bit long and the "C" locale, minus infinities, NaNs and hexadecimal reals, so a
// script or a settings file reads the same numbers on every machine.
//
// Every reader returns the characters consumed (0 when no number starts the text, the output
// then 0) and stores the value. Leading white space (blank, tab, CR, LF, VT, FF) and a sign are
// accepted where the C library accepts them; the consumed count then includes them.
#pragma once

#include <cstdint>

namespace vk2 {

// strtoul with a 32-bit unsigned long in base 10 or 16 (base 16 takes an optional "0x"/"0X"
// after the sign): out-of-range values saturate at 4294967295, a minus sign negates modulo 2^32
// ("-1" gives 4294967295).
int32_t ReadUnsigned32(const char* text, int base, uint32_t* out);
int32_t ReadUnsigned32(const char16_t* text, int base, uint32_t* out);
// strtol with a 32-bit long: saturates at -2147483648 and 2147483647.
int32_t ReadSigned32(const char* text, int base, int32_t* out);
int32_t ReadSigned32(const char16_t* text, int base, int32_t* out);

// Base 16 when the text begins with exactly "0x" (lower-case x, nothing in front), else base 10.
int32_t ParseUnsignedText(const char* text, uint32_t* out);
int32_t ParseUnsignedText(const char16_t* text, uint32_t* out);
int32_t ParseIntegerText(const char* text, int32_t* out);
int32_t ParseIntegerText(const char16_t* text, int32_t* out);

// A hexadecimal unsigned 32-bit integer when the text begins with exactly "0x", else a decimal
// real: digits with an optional point, an optional exponent (taken only when it has digits),
// rounded correctly to the nearest double. Too large gives +-infinity and too small +-0, as
// strtod does; "inf", "nan" and "0x1p3"-style reals are not read.
int32_t ParseNumberText(const char* text, double* out);
int32_t ParseNumberText(const char16_t* text, double* out);

}  // namespace vk2
