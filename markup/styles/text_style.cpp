#include "markup/styles/text_style.h"

#include <new>

#include "interfaces/markup/font_record.h"

namespace vk2::markup {
namespace {

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

}  // namespace

TString TrimIndentedText(const TString& text) {
  std::u16string_view view = text.view();
  size_t start = 0;
  bool breakSeen = false;
  while (start < view.size() && IsSpace(view[start]))
    breakSeen |= view[start++] == u'\n';
  if (!breakSeen) start = 0;
  size_t end = view.size();
  breakSeen = false;
  while (end > start && IsSpace(view[end - 1]))
    breakSeen |= view[--end] == u'\n';
  if (!breakSeen) end = view.size();
  return TString(view.substr(start, end - start));
}

RefPtr<ImageStyle> TextStyle::Make() {
  return RefPtr<ImageStyle>(new (std::nothrow) TextStyle());
}

bool TextStyle::ParseOwn(const StyleScope& scope, const Element& element) {
  color_ = 0xFF000000;
  if (ParseColor(element.Attribute(u"color").view(), &color_, nullptr, scope.collections) <= 0)
    color_ = 0xFF000000;
  uint64_t flags = 0;
  justification_ =
      ParseAlignment(element.Attribute(u"justification").view(), &flags) ? uint32_t(flags) : 0;
  hasFont_ = LookUpTextFont(scope.definition, element.Attribute(u"font_style"), &font_);
  text_ = TrimIndentedText(element.Text());
  return true;
}

bool TextStyle::DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams&,
                        int32_t opacity) {
  RectI rect = TruncRect(placed);
  if (rect.Empty() || !hasFont_) return false;
  return DrawTextWithFont(font_, canvas, text_, rect, justification_, BlendCode(), color_, opacity);
}

}  // namespace vk2::markup
