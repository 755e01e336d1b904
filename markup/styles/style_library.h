// Image styles, shapes and hit styles by name: what windows and controls call.
//
//   StyleScope scope = StyleScope::Of(definition);   // an InterfaceDefinition
//   RefPtr<ImageStyleGroup> style = FindImageStyle(scope, u"background");
//   RefPtr<ShapeGroup> shape = FindShape(scope, u"outline");
//   RefPtr<HitStyle> hits = FindHitStyle(scope, u"grab");  // or a code list: "DRAG"
//
//   // Paint style X on canvas C in rect R with states S and blend value V (a window passes its
//   // opacity parameter, or that times a state weight):
//   style->Draw(R, C, S, params, V);                 // true when anything drew
//   // The window's outline (1-bit region) at size W x H, into the window's mask:
//   shape->ApplyToWindow(RectI{0, 0, W, H}, windowMask);
//   // The hit code at point P of a window of size W x H:
//   uint32_t code = hits->HitCode(RectI{0, 0, W, H}, P.x, P.y);
//
// A name is looked up through the scope's interface definition (from the innermost scope out to
// the parent definitions); each call builds a new object from the element the definition keeps,
// so callers hold what they use. Names are found only while the definition still holds its
// document (windows look their styles up while the definition reads them). Reports on bad markup
// go to the reading thread's error sink, or, outside a read, to the console as one message.
#pragma once

#include <string_view>

#include "foundation/util/ref_ptr.h"
#include "markup/shapes/hit_style.h"
#include "markup/shapes/shape_group.h"
#include "markup/styles/image_style_group.h"
#include "markup/styles/style_scope.h"

namespace vk2::markup {

// Null when no image style has that name. `reportOn` is the element a circular reference is
// reported on (none: the console).
RefPtr<ImageStyleGroup> FindImageStyle(const StyleScope& scope, std::u16string_view name,
                                       const Element* reportOn = nullptr);
// An `imagestyle` element read in place (a style given inside a window definition).
RefPtr<ImageStyleGroup> LoadImageStyle(const StyleScope& scope, const Element& element);

}  // namespace vk2::markup
