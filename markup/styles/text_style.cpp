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
  FontRecord record;
  // GetFont answers 1 for a raster font and 0 for a face font.
  TString fontName = element.Attribute(u"font_style");
  hasFont_ = scope.definition &&
             scope.definition->GetFont(fontName.IsEmpty() ? nullptr : fontName.c_str(), nullptr,
                                       &record) >= 0 &&
             record.kind != FontRecordKind::kNone;
  if (hasFont_) {
    font_.raster = record.kind == FontRecordKind::kRaster;
    font_.face = record.face;
    font_.size = record.size;
    font_.style = record.style;
    font_.smoothed = record.smoothed;
    font_.image = record.image;
    font_.glyphs = record.glyphs;
    font_.tracking = record.tracking;
    font_.monochrome = record.monochrome;
    font_.startX = record.startX;
    font_.startY = record.startY;
  }
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
