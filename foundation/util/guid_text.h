// Identifiers as text in registry form: "{F316B898-717E-451E-8518-79714110B00F}".
#pragma once

#include <string_view>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"

namespace vk2 {

// Accepts the registry form with or without its braces, hexadecimal digits in either case, and
// nothing else (no blanks, no missing digits). Stores the identifier and returns true; leaves
// *out alone on failure.
bool ParseGuidText(std::u16string_view text, Guid* out);
bool ParseGuidText(std::string_view text, Guid* out);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
TString FormatGuidText(const Guid& guid);
NarrowString FormatGuidTextNarrow(const Guid& guid);

}  // namespace vk2
