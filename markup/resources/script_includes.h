// Script texts with their `include` children expanded in place.
#pragma once

#include "foundation/text/tstring.h"
#include "markup/dom/element.h"

namespace vk2::markup {

// The element's text with each `include source="name"` replaced by the named script's expanded
// text, inserted at the include's position in the text. Unknown sources are skipped; a script
// already being expanded (one that includes itself, directly or through others) is refused.
TString ParseIncludeOrScript(const Element& script);

}  // namespace vk2::markup
