// A named image style (`imagestyle` section): an ordered list of primitives drawn into one
// rectangle. Windows and controls hold groups and paint them; see style_library.h for how they
// are found by name.
#pragma once

#include <vector>

#include "component/object/com_object.h"
#include "foundation/text/tstring.h"
#include "markup/styles/image_style.h"
#include "markup/styles/style_scope.h"

namespace vk2::markup {

class ImageStyleGroup final : public ComObject<ImageStyleGroup, SilentFace<MUnknown>> {
 public:
  static RefPtr<ImageStyleGroup> Make();

  // Reads the section; false only for a missing element. Bad children are reported and left
  // out, the rest loads.
  bool Load(const StyleScope& scope, const Element& element);
  // Draws every primitive in order into `rect` (nothing for an empty one); true when any drew.
  bool Draw(const RectI& rect, MCanvas* canvas, uint32_t states, const AnimationParams& params,
            double blend);
  bool IsTransparent() const { return transparent_; }
  const TString& GetName() const { return name_; }
  const std::vector<RefPtr<ImageStyle>>& Primitives() const { return primitives_; }
  // The union of the primitives' state masks.
  uint32_t States() const;

 private:
  ImageStyleGroup() = default;
  ~ImageStyleGroup() override = default;

  TString name_;
  bool transparent_ = false;
  std::vector<RefPtr<ImageStyle>> primitives_;
};

// The primitive an element name makes (unparsed), or null for a name that is none.
RefPtr<ImageStyle> MakeImageStylePrimitive(std::u16string_view tag);

}  // namespace vk2::markup
