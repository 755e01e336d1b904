// Text for the fakes' call logs: names and values as plain ASCII, so that a test compares
// whole calls as "Name(args)".
#pragma once

#include <string>

namespace vk2::test {

// `text` with each character cut to seven bits; empty for null.
inline std::string Narrow(const char16_t* text) {
  std::string s;
  for (const char16_t* p = text; p && *p; ++p)
    s += static_cast<char>(*p & 0x7F);
  return s;
}

}  // namespace vk2::test
