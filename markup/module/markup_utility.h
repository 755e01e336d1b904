// The module-wide MMarkupUtility object: state-style composing for other modules.
#pragma once

#include "interfaces/markup/window_definition.h"

namespace vk2::markup {

// The one object (no reference added; it lives as long as the module).
MMarkupUtility* MarkupUtility();

}  // namespace vk2::markup
