// A named shape (`shape` section): primitives combined into a 1-bit mask, built for one
// rectangle and kept until another is asked for. Image styles clip to it, windows take their
// outline from it and hit styles test points against it. The mask has the rectangle's size and
// lies at the rectangle's top-left; points are given in the same coordinates as the rectangle
// (a window passing {0, 0, W, H} passes its own client coordinates).
#pragma once

#include <string_view>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/text/tstring.h"
#include "markup/shapes/shape.h"

namespace vk2::markup {

class ShapeGroup final : public ComObject<ShapeGroup, SilentFace<MUnknown>> {
 public:
  static RefPtr<ShapeGroup> Make();

  bool Load(const StyleScope& scope, const Element& element);

  // Clips the canvas to the mask built for `rect` (mode and push as PushClipRect takes them).
  // True when a clip was pushed (or changed); false for no canvas. Without a mask (the image
  // service gave none) the rectangle itself clips.
  bool ClipCanvas(const RectI& rect, MCanvas* canvas, int32_t mode, int32_t push);
  // Copies the mask built for `rect` into `target` (the window's shape mask), at the
  // rectangle's top-left.
  bool ApplyToWindow(const RectI& rect, MMaskImage* target);
  // 1 when the point is inside the mask built for `rect`.
  int32_t HitTest(const RectI& rect, int32_t x, int32_t y);

  const TString& GetName() const { return name_; }
  size_t Count() const { return primitives_.size(); }
  // How often the mask was built (tests see the cache work).
  int32_t Builds() const { return builds_; }

 private:
  ShapeGroup() = default;
  ~ShapeGroup() override = default;
  // Under the style lock.
  bool EnsureMask(const RectI& rect);

  TString name_;
  std::vector<RefPtr<Shape>> primitives_;
  RectI built_;
  bool valid_ = false;
  RefPtr<MMaskImage> mask_;
  int32_t builds_ = 0;
};

// Null when no shape has that name; `reportOn` as for FindImageStyle.
RefPtr<ShapeGroup> FindShape(const StyleScope& scope, std::u16string_view name,
                             const Element* reportOn = nullptr);
// A `shape` element read in place.
RefPtr<ShapeGroup> LoadShape(const StyleScope& scope, const Element& element);

}  // namespace vk2::markup
