// Text helpers of the runtime: UTF-8 inside, UTF-16 at the interfaces, identifiers as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"

namespace vk2::oru {

std::string ToUtf8(const char16_t* text);
std::string ToUtf8(const TString& text);
TString ToWide(std::string_view utf8);

// ASCII case folding only.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string LowerAscii(std::string_view text);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string FormatGuid(const Guid& id);
// With or without braces, any case; false for anything else.
bool ParseGuid(std::string_view text, Guid* id);

}  // namespace vk2::oru
