// How the window side reaches image styles and shapes: the readers that turn an `imagestyle`
// or `shape` element into an object that draws or outlines. The style library's readers
// (styles/window_styles.h) are in place from the start; tests may install their own.
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
