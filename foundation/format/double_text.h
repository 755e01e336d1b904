// Decimal text of a double for the formatter's e, E, f, g and G conversions.
#pragma once

namespace vk2::format_detail {

// Longest text RenderDouble writes: 310 integer digits, the point, 1023 fraction digits and a
// five-character exponent.
inline constexpr int kMaxDoubleText = 1400;

// Writes the finite, non-negative `magnitude` in `conversion` (e, E, f, g, G) with `precision`
// (0..1023) into `out` and returns the character count; no sign and no terminator. The digits
// come from the exact decimal value rounded half up, so a carry can add an integer digit or,
// in the exponent form, raise the exponent. Trailing zero fraction digits are dropped unless
// `keepZeros`.
int RenderDouble(double magnitude, char conversion, int precision, bool keepZeros, char* out);

}  // namespace vk2::format_detail
