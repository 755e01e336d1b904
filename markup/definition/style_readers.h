// How the window side reaches image styles and shapes: the readers that turn an `imagestyle`
// or `shape` element into an object that draws or outlines. The image-style and shape readers
// install themselves here; without them windows keep the names but draw no styles and have no
// outline (the full rectangle).
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/window_definition.h"
#include "markup/dom/element.h"

namespace vk2::markup {

class InterfaceDefinition;

struct StyleReaders {
  RefPtr<MImageStyleDrawing> (*imageStyle)(const Element& element,
                                           InterfaceDefinition* owner) = nullptr;
  RefPtr<MShapeDrawing> (*shape)(const Element& element, InterfaceDefinition* owner) = nullptr;
};

// Replaces the readers; returns the ones installed before.
StyleReaders InstallStyleReaders(const StyleReaders& readers);
// Null when no reader is installed or the element does not read.
RefPtr<MImageStyleDrawing> ReadImageStyleDrawing(const Element& element,
                                                 InterfaceDefinition* owner);
RefPtr<MShapeDrawing> ReadShapeDrawing(const Element& element, InterfaceDefinition* owner);

}  // namespace vk2::markup
