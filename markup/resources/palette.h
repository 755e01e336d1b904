// Palettes (256 ARGB entries) and blend curves (256 bytes) built from `cp` control points.
#pragma once

#include <array>
#include <cstdint>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/dom/element.h"
#include "markup/parse/collections.h"

namespace vk2::markup {

class Palette final : public ComObject<Palette, SilentFace<MMarkupPalette>> {
 public:
  static RefPtr<Palette> Make(const std::array<uint32_t, 256>& entries);
  const uint32_t* Entries() override { return entries_.data(); }

 private:
  explicit Palette(const std::array<uint32_t, 256>& entries) : entries_(entries) {}
  ~Palette() override = default;
  std::array<uint32_t, 256> entries_;
};

// Starts from (0.0, FF000000) and (1.0, FFFFFFFF); each `cp` child adds (x, value), an equal x
// replacing that point's value; `spline` chooses spline interpolation. Without the image-style
// service every entry is 88888888. A null element gives the two-point ramp.
RefPtr<Palette> BuildPalette(const Element* element, NamedCollections* collections);
// The palette the `palette` attribute names: the collections' first, else a `palette` element;
// none found gives null, or the ramp when `required`.
RefPtr<Palette> ParsePalette(const Element& element, NamedCollections* collections, bool required);
// The `blend_curve` element the attribute names, from (0, 0) and (1, 255); 88 fill without the
// service.
std::array<uint8_t, 256> ParseBlendCurve(const Element& element);

}  // namespace vk2::markup
