#include "markup/styles/image_style_group.h"

#include <new>

#include "markup/parse/identifiers.h"
#include "markup/report/error_sink.h"
#include "markup/styles/color_styles.h"
#include "markup/styles/gradient_styles.h"
#include "markup/styles/raster_style.h"
#include "markup/styles/style_library.h"
#include "markup/styles/text_style.h"

namespace vk2::markup {

RefPtr<ImageStyleGroup> ImageStyleGroup::Make() {
  return RefPtr<ImageStyleGroup>(new (std::nothrow) ImageStyleGroup());
}

RefPtr<ImageStyle> MakeImageStylePrimitive(std::u16string_view tag) {
  using C = ColorStyle::Kind;
  using G = GradientStyle::Kind;
  if (tag == u"color_fill") return ColorStyle::Make(C::kFill);
  if (tag == u"color_rect") return ColorStyle::Make(C::kRect);
  if (tag == u"color_ellipse") return ColorStyle::Make(C::kEllipse);
  if (tag == u"color_point") return ColorStyle::Make(C::kPoint);
  if (tag == u"color_line") return ColorStyle::Make(C::kLine);
  if (tag == u"raster") return RasterStyle::Make();
  if (tag == u"gradient_fourpoint") return GradientStyle::Make(G::kFourPoint);
  if (tag == u"gradient_linear") return GradientStyle::Make(G::kLinear);
  if (tag == u"gradient_circular") return GradientStyle::Make(G::kCircular);
  if (tag == u"gradient_radial") return GradientStyle::Make(G::kRadial);
  if (tag == u"text") return TextStyle::Make();
  return nullptr;
}

bool ImageStyleGroup::Load(const StyleScope& scope, const Element& element) {
  if (!element) return false;
  if (name_.IsEmpty()) name_ = ReadIdentifierAttribute(element, u"name", u"_unnamed_");
  transparent_ = element.AttributeBool(u"transparent", false);
  for (const Element& child : element.Children(nullptr)) {
    if (!LanguageAllows(child, scope.language)) continue;
    TString tag = child.Tag();
    if (tag == u"include") {
      TString source = child.Attribute(u"source");
      StyleScope inner = scope.Nested();
      RefPtr<ImageStyleGroup> included = FindImageStyle(inner, source.view(), &child);
      if (!included) {
        // Too deep was reported as circular where it happened.
        if (inner.depth <= kMaxStyleNesting)
          ReportMmlError(&child, TString::Format(u"source=\"%s\"\nNot found.\n", source));
        continue;
      }
      for (const auto& primitive : included->primitives_)
        primitives_.push_back(primitive);
      continue;
    }
    RefPtr<ImageStyle> primitive = MakeImageStylePrimitive(tag.view());
    if (!primitive) continue;
    uint64_t blend = tag == u"text" ? kTextDefaultBlend : kStyleDefaultBlend;
    if (primitive->Parse(scope, child, blend)) primitives_.push_back(primitive);
  }
  return true;
}

bool ImageStyleGroup::Draw(const RectI& rect, MCanvas* canvas, uint32_t states,
                           const AnimationParams& params, double blend) {
  if (rect.Empty()) return false;
  bool drew = false;
  for (const auto& primitive : primitives_)
    drew |= primitive->Draw(rect, canvas, states, params, blend);
  return drew;
}

uint32_t ImageStyleGroup::States() const {
  uint32_t states = 0;
  for (const auto& primitive : primitives_)
    states |= primitive->GetStates();
  return states;
}

}  // namespace vk2::markup
