#include "markup/styles/style_library.h"

namespace vk2::markup {

RefPtr<ImageStyleGroup> LoadImageStyle(const StyleScope& scope, const Element& element) {
  return LoadStyleGroup<ImageStyleGroup>(scope, element);
}

RefPtr<ImageStyleGroup> FindImageStyle(const StyleScope& scope, std::u16string_view name,
                                       const Element* reportOn) {
  return FindStyleGroup<ImageStyleGroup>(scope, name, reportOn,
                                         &MInterfaceDefinition::GetImageStyle);
}

}  // namespace vk2::markup
