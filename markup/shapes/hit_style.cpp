#include "markup/shapes/hit_style.h"

#include <new>

#include "markup/parse/identifiers.h"
#include "markup/styles/image_style.h"

namespace vk2::markup {

RefPtr<HitStyle> HitStyle::Make() {
  return RefPtr<HitStyle>(new (std::nothrow) HitStyle());
}

RefPtr<HitStyle> HitStyle::FromCode(uint32_t code) {
  RefPtr<HitStyle> style = Make();
  if (style) style->defaultCode_ = code;
  return style;
}

bool HitStyle::Parse(const StyleScope& scope, const Element& element) {
  if (!element) return false;
  name_ = ReadIdentifierAttribute(element, u"name");
  uint64_t code = 0;
  if (element.HasAttribute(u"default_hitcode"))
    ParseHitCodeAttribute(element, u"default_hitcode", &code);
  defaultCode_ = static_cast<uint32_t>(code);
  for (const Element& child : element.Children(u"hitcode")) {
    RefPtr<ShapeGroup> shape;
    TString shapeName = ReadIdentifierAttribute(child, u"shape");
    if (!shapeName.IsEmpty())
      shape = FindShape(scope.Nested(), shapeName.view(), &child);
    else if (!child.HasAttribute(u"shape"))
      shape = LoadShape(scope.Nested(), child.Child(u"shape", 0));
    if (!shape) continue;
    uint64_t entryCode = 0;
    ParseHitCodeAttribute(child, u"type", &entryCode);
    entries_.push_back({shape, static_cast<uint32_t>(entryCode)});
  }
  return true;
}

uint32_t HitStyle::HitCode(const RectI& rect, int32_t x, int32_t y) {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->shape->HitTest(rect, x, y)) return it->code;
  }
  return defaultCode_;
}

RefPtr<HitStyle> LoadHitStyle(const StyleScope& scope, const Element& element) {
  if (!element) return nullptr;
  ConsoleReportScope reports;
  RefPtr<HitStyle> style = HitStyle::Make();
  if (!style || !style->Parse(scope, element)) return nullptr;
  return style;
}

RefPtr<HitStyle> FindHitStyle(const StyleScope& scope, std::u16string_view text) {
  if (text.empty()) return nullptr;
  uint64_t code = 0;
  if (ParseHitCodeList(text, &code)) return HitStyle::FromCode(static_cast<uint32_t>(code));
  if (!scope.definition) return nullptr;
  RefPtr<MHitStyleDefinition> record;
  if (scope.definition->GetHitStyle(TString(text).c_str(), record.Put()) != 0) return nullptr;
  return LoadHitStyle(scope, RecordElement(record.Get()));
}

}  // namespace vk2::markup
