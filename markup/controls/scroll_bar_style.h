// The scroll-bar style object behind MScrollBarStyle.
#pragma once

#include <cstdint>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/markup/scroll_bar_style.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::markup {

class ScrollBarStyle final
    : public ComObject<ScrollBarStyle, Face<MScrollBarStyle, kScrollBarStyleClass>> {
 public:
  // The four looks one bar takes.
  struct Looks {
    RefPtr<MImageStyleDrawing> track, thumb, first, second;
  };

  static RefPtr<ScrollBarStyle> Make();
  // The style behind an MScrollBarStyle of this module, or null.
  static ScrollBarStyle* From(MUnknown* object);

  int32_t Load(MInterfaceDefinition* iface, MXmlNode* element) override;
  int32_t Thickness() override { return thickness_; }

  bool Loaded() const { return loaded_; }
  int32_t MinThumb() const { return minThumb_; }
  Looks For(bool vertical) const;

 private:
  ScrollBarStyle() = default;
  ~ScrollBarStyle() override = default;

  RefPtr<MImageStyleDrawing> verticalTrack_, verticalThumb_, horizontalTrack_, horizontalThumb_;
  RefPtr<MImageStyleDrawing> up_, down_, left_, right_;
  int32_t thickness_ = 10;
  int32_t minThumb_ = 10;
  bool loaded_ = false;
};

}  // namespace vk2::markup
