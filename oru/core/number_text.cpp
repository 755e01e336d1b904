#include "oru/core/number_text.h"

#include <charconv>
#include <cmath>

#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

// Magnitude and sign of an integer text.
bool ParseMagnitude(std::string_view t, bool* negative, uint64_t* magnitude) {
  t = Trim(t);
  *negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    *negative = t.front() == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty()) return false;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), *magnitude, base);
  return ec == std::errc() && end == t.data() + t.size();
}

}  // namespace

bool ParseInt32Text(std::string_view text, int32_t* out) {
  bool negative;
  uint64_t m;
  if (!ParseMagnitude(text, &negative, &m)) return false;
  if (negative ? m > 2147483648ULL : m > 2147483647ULL) return false;
  *out = negative ? static_cast<int32_t>(-static_cast<int64_t>(m)) : static_cast<int32_t>(m);
  return true;
}

bool ParseUint32Text(std::string_view text, uint32_t* out) {
  bool negative;
  uint64_t m;
  if (!ParseMagnitude(text, &negative, &m) || negative || m > UINT32_MAX) return false;
  *out = static_cast<uint32_t>(m);
  return true;
}

bool ParseDoubleText(std::string_view text, double* out) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  double v = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return false;
  *out = v;
  return true;
}

bool ParseBoolText(std::string_view text, bool* out) {
  std::string t = LowerAscii(Trim(text));
  if (t == "true" || t == "yes" || t == "on" || t == "1") {
    *out = true;
  } else if (t == "false" || t == "no" || t == "off" || t == "0") {
    *out = false;
  } else {
    return false;
  }
  return true;
}

std::string FormatDoubleText(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

}  // namespace vk2::oru
