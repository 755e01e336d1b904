// Number readers against the C library (the "C" locale; this process never sets one), and the
// narrow and wide forms against each other.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/text/number_parse.h"

namespace {

bool HasAny(const char* begin, const char* end, const char* set) {
  for (const char* p = begin; p != end; ++p) {
    if (std::strchr(set, *p)) return true;
  }
  return false;
}

void CheckReal(const char* text) {
  double ours = 0;
  const int32_t used = vk2::ParseNumberText(text, &ours);
  const std::u16string wide(text, text + std::strlen(text));
  double wideValue = 0;
  if (vk2::ParseNumberText(wide.c_str(), &wideValue) != used) std::abort();
  if (std::memcmp(&ours, &wideValue, sizeof ours) != 0) std::abort();
  if (std::isnan(ours)) std::abort();
  if (text[0] == '0' && text[1] == 'x') return;  // the hexadecimal integer form is ours alone
  char* end = nullptr;
  const double theirs = std::strtod(text, &end);
  // strtod reads infinities, NaNs and hexadecimal reals, which we refuse.
  if (HasAny(text, end, "xXiInN")) return;
  if (end - text != used) std::abort();
  if (std::memcmp(&ours, &theirs, sizeof ours) != 0) std::abort();
}

void CheckInteger(const char* text) {
  int32_t ours = 0;
  const int32_t used = vk2::ParseIntegerText(text, &ours);
  const std::u16string wide(text, text + std::strlen(text));
  int32_t wideValue = 0;
  if (vk2::ParseIntegerText(wide.c_str(), &wideValue) != used || wideValue != ours) std::abort();
  const int base = (text[0] == '0' && text[1] == 'x') ? 16 : 10;
  char* end = nullptr;
  const long theirs = std::strtol(text, &end, base);  // 64-bit long: clamp to 32 bits
  const long clamped = theirs > INT32_MAX ? INT32_MAX : theirs < INT32_MIN ? INT32_MIN : theirs;
  if (end - text != used || clamped != ours) std::abort();

  uint32_t unsignedValue = 0;
  if (vk2::ParseUnsignedText(text, &unsignedValue) != used) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckReal(text.c_str());
  CheckInteger(text.c_str());
  return 0;
}
