// Shape primitives: rectangles, ellipses, rounded rectangles and masks cut from an image, each
// combined into a group's 1-bit mask by its combine mode.
#pragma once

#include <cstdint>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/image.h"
#include "markup/dom/element.h"
#include "markup/parse/value_parsers.h"
#include "markup/styles/style_scope.h"

namespace vk2::markup {

class Shape : public ComObject<Shape, SilentFace<MUnknown>> {
 public:
  enum class Kind { kRect, kEllipse, kRoundRect, kRaster };
  static RefPtr<Shape> Make(Kind kind);

  // False when a `shape_raster`'s image does not load (reported).
  bool Parse(const StyleScope& scope, const Element& element);
  // Combines the primitive, placed in `rect` (the mask's own coordinates), into `mask`.
  bool Apply(const RectI& rect, MMaskImage* mask) const;

  int32_t CombineMode() const { return mode_; }
  void SetCombineMode(int32_t mode) { mode_ = mode; }

 private:
  explicit Shape(Kind kind) : kind_(kind) {}
  ~Shape() override = default;
  void ApplyNineSlice(const RectI& p, MMaskImage* mask) const;

  Kind kind_;
  int32_t mode_ = kClipUnion;
  AnchoredRect placement_;
  int32_t cornerWidth_ = 0, cornerHeight_ = 0;
  RefPtr<MMaskImage> image_;
  int32_t fillMode_ = 0;
  RectI32 inner_, outer_;
  SizeI32 tile_;
};

// The combine mode the words between two children give: "OR" 2, "AND" 3, "XOR" 5, "DIFF" 4,
// compared ignoring case; anything else, or nothing, 2.
int32_t CombineModeOfWord(std::u16string_view word);

}  // namespace vk2::markup
