// Typed DUV values: keyword attributes, points, sizes, rectangles, colours, blit and fill modes.
// Names in a text are resolved against the element tree (FindNamedElement) and, where given,
// an interface definition's named collections. Bad values are reported with the element's tag
// and line (when `report` is set) and leave the documented defaults; nothing here throws.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/text/tstring.h"
#include "markup/dom/element.h"
#include "markup/keywords/keyword_tables.h"
#include "markup/parse/collections.h"

namespace vk2::markup {

// Named points, rectangles and colours that name each other are followed this deep; beyond it
// the text is reported as a circular reference.
inline constexpr int32_t kMaxNameDepth = 16;

// Keyword values.
bool ParseAlignment(std::u16string_view text, uint64_t* out);
bool ParseValueSource(std::u16string_view text, uint64_t* out);
bool ParseOrientation(std::u16string_view text, uint64_t* out);
bool ParseFillModeList(std::u16string_view text, uint64_t* out);
bool ParseHitCodeList(std::u16string_view text, uint64_t* out);
// The attribute (absent: `fallback`) looked up in `table`; an unknown word is reported and the
// fallback's code answered. `fallback` must be a row of the table.
uint64_t ParseKeywordAttribute(const Element& element, const char16_t* attribute,
                               const char16_t* fallback, KeywordTable table);
// Default "NONE"; an invalid list is reported, the code becomes 0 and the result false.
bool ParseHitCodeAttribute(const Element& element, const char16_t* attribute, uint64_t* code);
// `state` as a state list; absent, empty or invalid gives 1 (normal).
uint64_t ParseStateAttribute(const Element& element);

// Geometry. Each returns the characters consumed, 0 when nothing parsed.
int32_t ParsePointOrSize(bool isSize, std::u16string_view text, const Element* element, PointD* out,
                         bool report, MResourceFile* package, NamedCollections* collections,
                         int32_t depth = 0);
int32_t ParseRect(std::u16string_view text, const Element* element, RectD* out, bool report,
                  MResourceFile* package, NamedCollections* collections,
                  const RectD* fractions = nullptr, int32_t depth = 0);
// A blank element text reads the attributes (x, y or left, top, right, bottom; default 0).
bool ParsePointElement(const Element& element, PointD* out, bool report, MResourceFile* package,
                       NamedCollections* collections, int32_t depth = 0);
bool ParseRectElement(const Element& element, RectD* out, bool report, MResourceFile* package,
                      NamedCollections* collections, int32_t depth = 0);
// False for an absent or empty attribute.
bool ParsePointAttribute(const Element& element, const char16_t* attribute, PointD* out,
                         bool report, MResourceFile* package, NamedCollections* collections);
bool ParseSizeAttribute(const Element& element, const char16_t* attribute, PointD* out, bool report,
                        MResourceFile* package, NamedCollections* collections);
bool ParseRectAttribute(const Element& element, const char16_t* attribute, RectD* out, bool report,
                        MResourceFile* package, NamedCollections* collections,
                        const RectD* fractions = nullptr);

// left = a.left - trunc(b.left + f.left * width(b)), and likewise for the other edges.
RectD InsetRectByFractions(const RectD& fractions, const RectD& a, const RectD& b);
RectD NegateRectOrigin(const RectD& rect);

// A rectangle given as pixel offsets from fractions of a parent rectangle.
struct AnchoredRect {
  RectD offsets;
  RectD fractions{0, 0, 1, 1};
  // True when either attribute parsed; neither present gives the parent itself (and true).
  bool Parse(const Element* element, const char16_t* offsetAttribute,
             const char16_t* fractionAttribute, MResourceFile* package,
             NamedCollections* collections);
  RectD Resolve(const RectD& parent) const;
};

struct AnchoredPoint {
  PointD offset;
  PointD fraction;
  bool Parse(const Element* element, const char16_t* pointAttribute,
             const char16_t* fractionAttribute, MResourceFile* package,
             NamedCollections* collections);
  // Relative to the parent's origin.
  PointD Resolve(const RectD& parent) const;
};

// "#hex" (alpha forced to FF; "#FFF" is 0xFF000FFF: no short forms), "0x"/decimal ARGB, or a
// name; then ":argb" keeps channels and "+ colour" ORs another in. Returns characters consumed.
int32_t ParseColor(std::u16string_view text, uint32_t* out, const Element* element,
                   NamedCollections* collections, int32_t depth = 0);

// The blit-mode words combined over `fallback`; a text no table knows is tried as a layer's
// blend mode when a package and collections are given. False (out = fallback) on failure.
bool ParseBlitMode(std::u16string_view text, uint64_t* out, const Element* element, bool report,
                   uint64_t fallback, MResourceFile* package, NamedCollections* collections);
// `blendmode` through ParseBlitMode (reporting); absent gives `fallback`.
uint64_t ParseBlendModeAttribute(const Element& element, uint64_t fallback, MResourceFile* package,
                                 NamedCollections* collections);

struct RectI32 {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const RectI32&) const = default;
};
struct SizeI32 {
  int32_t width = 0, height = 0;
  bool operator==(const SizeI32&) const = default;
};

// `fillmode` (default once) with the rectangles resize needs and the tile size tile takes.
int32_t ParseFillMode(const Element& element, RectI32* inner, RectI32* outer, SizeI32* tile,
                      SizeI32 defaultTile, MResourceFile* package, NamedCollections* collections);

}  // namespace vk2::markup
