// Dock points of a window: a named, anchored point that docks other windows (master) or docks to
// them (slave). The GUI kit's dock point object is set up from this record.
#pragma once

#include "foundation/text/tstring.h"
#include "markup/dom/element.h"
#include "markup/parse/collections.h"
#include "markup/parse/value_parsers.h"

namespace vk2::markup {

struct DockPointDefinition {
  TString name;
  AnchoredPoint anchor;  // `offset` in pixels, `alignment` in fractions of the parent
  bool master = false;
};

// True when the point is named; an unnamed one is reported and still filled in.
bool ParseDockPoint(const Element& element, MResourceFile* package, NamedCollections* collections,
                    DockPointDefinition* out);

}  // namespace vk2::markup
