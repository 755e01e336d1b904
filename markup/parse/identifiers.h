// Names and identifiers in markup: valid name identifiers, lookups of named elements up the
// tree, and GUID texts.
#pragma once

#include <string_view>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "markup/dom/element.h"

namespace vk2::markup {

// A letter or underscore, then letters, digits or underscores.
bool IsValidIdentifier(std::u16string_view text);
// The leading identifier characters of `text` (possibly none).
size_t IdentifierLength(std::u16string_view text);

// The attribute when it is a valid identifier. A present value that is not one is reported and
// `fallback` returned; an absent attribute gives `fallback` (empty when null) without a report.
TString ReadIdentifierAttribute(const Element& element, const char16_t* attribute,
                                const char16_t* fallback = nullptr);
TString ValidIdentifierOrEmpty(const TString& text);

// Asks the element, then each ancestor, for its first descendant with `tag` whose `attribute`
// equals `value`; the first hit wins.
Element FindNamedElement(const Element& element, const char16_t* tag, const char16_t* attribute,
                         std::u16string_view value);

// Strict 8-4-4-4-12 hexadecimal digits, no braces.
bool ParseGuidString(std::u16string_view text, Guid* out);
// The `uid` attribute; false when empty or not a GUID.
bool ParseUidAttribute(const Element& element, Guid* out);

}  // namespace vk2::markup
