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
// `text` without the spaces and tabs at either end.
std::string_view Trim(std::string_view text);

// Registry form "{XXXXXXXX-...}" through the foundation's identifier text.
std::string FormatGuid(const Guid& id);
bool ParseGuid(std::string_view text, Guid* id);

}  // namespace vk2::oru
