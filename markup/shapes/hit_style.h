// A hit style (`hitstyle` element): shapes paired with hit codes (drag areas, resize edges,
// input focus) and a default code for the rest.
#pragma once

#include <string_view>
#include <vector>

#include "component/object/com_object.h"
#include "markup/shapes/shape_group.h"

namespace vk2::markup {

class HitStyle final : public ComObject<HitStyle, SilentFace<MUnknown>> {
 public:
  static RefPtr<HitStyle> Make();
  // A style without entries that answers `code` everywhere (a code list given in place of a
  // name).
  static RefPtr<HitStyle> FromCode(uint32_t code);

  bool Parse(const StyleScope& scope, const Element& element);
  // The code of the last entry whose shape (built for `rect`) holds the point, else the
  // default code. The point is in the same coordinates as the rectangle.
  uint32_t HitCode(const RectI& rect, int32_t x, int32_t y);

  const TString& GetName() const { return name_; }
  uint32_t DefaultCode() const { return defaultCode_; }
  size_t Count() const { return entries_.size(); }

 private:
  HitStyle() = default;
  ~HitStyle() override = default;
  struct Entry {
    RefPtr<ShapeGroup> shape;
    uint32_t code;
  };

  TString name_;
  uint32_t defaultCode_ = 0;
  std::vector<Entry> entries_;
};

// A hit-code list ("DRAG") gives a style of that code; else the named style, or null.
RefPtr<HitStyle> FindHitStyle(const StyleScope& scope, std::u16string_view text);
// A `hitstyle` element read in place.
RefPtr<HitStyle> LoadHitStyle(const StyleScope& scope, const Element& element);

}  // namespace vk2::markup
