// Strict, locale-free number reading and writing for the runtime's text formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk2::oru {

// The whole text must be the number (surrounding blanks and tabs are allowed). Decimal, an
// optional sign; "0x" hexadecimal for the integer readers.
bool ParseInt32Text(std::string_view text, int32_t* out);
bool ParseUint32Text(std::string_view text, uint32_t* out);
bool ParseDoubleText(std::string_view text, double* out);
// "true"/"false"/"yes"/"no"/"on"/"off"/"1"/"0", any case.
bool ParseBoolText(std::string_view text, bool* out);

// Shortest text that reads back as the same double.
std::string FormatDoubleText(double value);

}  // namespace vk2::oru
