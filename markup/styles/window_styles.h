// The style library as the window side reaches it: an `imagestyle` element read in place as
// something a window definition draws, and a `shape` element as the outline of a window. These
// are the readers windows use unless a test installs others (definition/style_readers.h).
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/window_definition.h"
#include "markup/dom/element.h"

namespace vk2::markup {

class InterfaceDefinition;

// Null when the element does not read.
RefPtr<MImageStyleDrawing> ReadWindowImageStyle(const Element& element, InterfaceDefinition* owner);
RefPtr<MShapeDrawing> ReadWindowShape(const Element& element, InterfaceDefinition* owner);

}  // namespace vk2::markup
