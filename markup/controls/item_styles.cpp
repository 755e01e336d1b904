#include "markup/controls/item_styles.h"

#include <string>

#include "foundation/text/tstring.h"
#include "foundation/util/result.h"

namespace vk2::markup {
namespace {

constexpr const char16_t* kPlaceSuffixes[4] = {u"_only", u"_first", u"_middle", u"_last"};

RefPtr<MImageStyleDrawing> Find(MWindowDefinition* definition, const TString& name) {
  RefPtr<MImageStyleDrawing> style;
  if (definition->FindImageStyle(name.c_str(), style.Put()) != kOk) return nullptr;
  return style;
}

}  // namespace

void ResetLooks(ItemLookSet& set) {
  for (ItemLook& look : set)
    look.Reset();
}

void LoadItemImages(MWindowDefinition* definition, const char16_t* prefix, ItemLookSet& set) {
  if (!definition) return;
  const TString base(prefix);
  if (RefPtr<MImageStyleDrawing> all = Find(definition, base)) {
    for (ItemLook& look : set)
      look.image = all;
    return;
  }
  for (int32_t place = 0; place < 4; ++place) {
    if (RefPtr<MImageStyleDrawing> style =
            Find(definition, TString(std::u16string(base.view()) + kPlaceSuffixes[place])))
      set[place].image = style;
  }
  if (!set[0].image) set[0] = set[1];
}

void LoadItemTextLooks(const Element& property, MInterfaceDefinition* iface, ItemLookSet* sets,
                       int32_t setCount) {
  if (!property || !iface) return;
  auto forEach = [&](auto&& apply) {
    for (int32_t s = 0; s < setCount; ++s) {
      for (ItemLook& look : sets[s])
        apply(look);
    }
  };
  constexpr const char16_t* kColors[3] = {u"font_color1", u"font_color2", u"font_color3"};
  for (int32_t i = 0; i < 3; ++i) {
    if (!property.HasAttribute(kColors[i])) continue;
    uint32_t color = 0;
    if (iface->GetColor(property.Attribute(kColors[i]).c_str(), &color) != kOk) continue;
    forEach([&](ItemLook& look) {
      (i == 0 ? look.color1 : i == 1 ? look.color2 : look.color3) = color;
    });
  }
  if (property.HasAttribute(u"font_justification")) {
    uint64_t flags = 0;
    if (iface->ParseAlignmentValue(property.Attribute(u"font_justification").c_str(), &flags) ==
        kOk) {
      forEach([&](ItemLook& look) { look.justification = static_cast<uint32_t>(flags); });
    }
  }
}

}  // namespace vk2::markup
