// The pages a new display shows when the state store holds none: the comma-separated, quoted
// names of the `display_state` preference.
#pragma once

#include <vector>

#include "foundation/text/tstring.h"

namespace vk2::gui {

std::vector<TString> DisplayStateNames(const TString& text);

}  // namespace vk2::gui
