// Values of the markup: points, rectangles, and the named collections of an interface
// definition that names in attribute texts are resolved against.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/resource_file.h"

namespace vk2::markup {

struct PointD {
  double x = 0, y = 0;
  bool operator==(const PointD&) const = default;
};

struct RectD {
  double left = 0, top = 0, right = 0, bottom = 0;
  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  bool operator==(const RectD&) const = default;
};

class Palette;

// An interface definition's named values, as the parsers see them. Lookups by name compare
// without regard to case and fall back to the parent definition.
class NamedCollections {
 public:
  virtual bool FindNamedPoint(std::u16string_view name, PointD* out) = 0;
  virtual bool FindNamedRect(std::u16string_view name, RectD* out) = 0;
  virtual bool FindNamedColor(std::u16string_view name, uint32_t* out) = 0;
  virtual RefPtr<Palette> FindNamedPalette(std::u16string_view name) = 0;
  virtual MResourceFile* Package() = 0;

 protected:
  ~NamedCollections() = default;
};

}  // namespace vk2::markup
