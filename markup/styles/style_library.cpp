#include "markup/styles/style_library.h"

namespace vk2::markup {

RefPtr<ImageStyleGroup> LoadImageStyle(const StyleScope& scope, const Element& element) {
  if (!element) return nullptr;
  ConsoleReportScope reports;
  RefPtr<ImageStyleGroup> group = ImageStyleGroup::Make();
  if (!group || !group->Load(scope, element)) return nullptr;
  return group;
}

RefPtr<ImageStyleGroup> FindImageStyle(const StyleScope& scope, std::u16string_view name,
                                       const Element* reportOn) {
  if (!scope.definition || name.empty()) return nullptr;
  if (scope.depth > kMaxStyleNesting) {
    ReportCircularStyle(reportOn, name);
    return nullptr;
  }
  RefPtr<MMarkupDefinition> record;
  if (scope.definition->GetImageStyle(TString(name).c_str(), record.Put()) != 0) return nullptr;
  return LoadImageStyle(scope, RecordElement(record.Get()));
}

}  // namespace vk2::markup
