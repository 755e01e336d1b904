#include "markup/controls/scroll_bar_style.h"

#include <algorithm>
#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "markup/controls/control_properties.h"

namespace vk2::markup {
namespace {

// Bounds markup numbers to sizes a bar can have.
constexpr int32_t kLargestPixels = 4096;

}  // namespace

RefPtr<ScrollBarStyle> ScrollBarStyle::Make() {
  return RefPtr<ScrollBarStyle>(new (std::nothrow) ScrollBarStyle());
}

ScrollBarStyle* ScrollBarStyle::From(MUnknown* object) {
  auto* style = object ? QueryBorrowed<MScrollBarStyle>(object, kScrollBarStyleClass) : nullptr;
  return style ? dynamic_cast<ScrollBarStyle*>(style) : nullptr;
}

int32_t ScrollBarStyle::Load(MInterfaceDefinition* iface, MXmlNode* node) {
  if (!node) return kErrMissingArg;
  loaded_ = true;
  const Element element{RefPtr<MXmlNode>(node)};
  const ControlProperties properties(element, iface);
  // A name that is not found leaves what was there.
  const auto take = [&](const char16_t* attribute, RefPtr<MImageStyleDrawing>* field) {
    if (RefPtr<MImageStyleDrawing> style = InterfaceImageStyle(iface, properties.Text(attribute)))
      *field = style;
  };
  take(u"img_background_vertical", &verticalTrack_);
  take(u"img_background_horizontal", &horizontalTrack_);
  if (RefPtr<MImageStyleDrawing> both =
          InterfaceImageStyle(iface, properties.Text(u"img_background"))) {
    if (!verticalTrack_) verticalTrack_ = both;
    if (!horizontalTrack_) horizontalTrack_ = both;
  }
  if (RefPtr<MImageStyleDrawing> both = InterfaceImageStyle(iface, properties.Text(u"img_bar"))) {
    verticalThumb_ = both;
    horizontalThumb_ = both;
  }
  take(u"img_bar_vertical", &verticalThumb_);
  take(u"img_bar_horizontal", &horizontalThumb_);
  take(u"img_upbutton", &up_);
  take(u"img_downbutton", &down_);
  take(u"img_leftbutton", &left_);
  take(u"img_rightbutton", &right_);
  const auto pixels = [&](const char16_t* attribute) {
    return std::clamp(properties.Integer(attribute, 10), 0, kLargestPixels);
  };
  thickness_ = pixels(u"pixel_scrollbarthickness");
  minThumb_ = pixels(u"pixel_minscrollbarsize");
  return kOk;
}

ScrollBarStyle::Looks ScrollBarStyle::For(bool vertical) const {
  if (vertical) return Looks{verticalTrack_, verticalThumb_, up_, down_};
  return Looks{horizontalTrack_, horizontalThumb_, left_, right_};
}

}  // namespace vk2::markup
