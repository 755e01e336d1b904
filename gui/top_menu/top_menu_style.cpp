#include "gui/top_menu/top_menu_style.h"

#include "gui/window_base/style_element.h"
#include "interfaces/gui/controls.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {
namespace {

constexpr const char16_t* kPlaces[4] = {u"only", u"first", u"middle", u"last"};

TString Join(const char16_t* first, const char16_t* second) {
  TString text(first);
  text += second;
  return text;
}

// `level` is "top" or "drop": images "img_<level>_...", colours "<level>_font_color1..3".
void ReadLevel(MInterfaceDefinition* definition, MXmlNode* block, const char16_t* level,
               MenuLevelLook* look) {
  const TString images = Join(u"img_", level);
  look->background =
      ReadImageAttribute(definition, block, Join(images.c_str(), u"_background").c_str());
  for (size_t i = 0; i < look->items.size(); ++i) {
    TString name = Join(images.c_str(), u"_item_");
    name += kPlaces[i];
    look->items[i] = ReadImageAttribute(definition, block, name.c_str());
  }
  const TString font = Join(level, u"_font_");
  for (size_t i = 0; i < look->colours.size(); ++i) {
    uint32_t colour = 0;
    TString name = Join(font.c_str(), u"color");
    name += static_cast<char16_t>(u'1' + i);
    if (ReadColorAttribute(definition, block, name.c_str(), &colour)) look->colours[i] = colour;
  }
  ReadJustificationAttribute(definition, block, Join(font.c_str(), u"justification").c_str(),
                             &look->justification);
  int32_t fade = 0;
  if (block->GetAttributeInt(Join(level, u"_fade_duration").c_str(), &fade) >= 0)
    look->fadeMs = fade;
}

void SetInteger(MWindowElement* element, const char16_t* name, int32_t value) {
  PropertyValue property;
  property.type = kPropertyInteger;
  property.integer = value;
  element->SetProperty(name, kPropertyInteger, &property);
}

void SetImage(MWindowElement* element, const char16_t* name, MImageStyleDrawing* image) {
  if (!image) {
    element->RemoveProperty(name);
    return;
  }
  PropertyValue property;
  property.type = kPropertyInterface;
  property.object = static_cast<MUnknown*>(image);
  element->SetProperty(name, kPropertyInterface, &property);
}

}  // namespace

bool LoadTopMenuStyle(MInterfaceDefinition* definition, TopMenuStyle* style) {
  if (!definition || !style) return false;
  TopMenuStyle loaded;
  loaded.loaded = true;
  if (RefPtr<MXmlNode> app = FindStyleElement(definition, u"Velkora2")) {
    if (app->GetAttributeBool(u"devtestmode", &loaded.reduced) < 0) loaded.reduced = false;
  }
  if (RefPtr<MXmlNode> block = FindStyleElement(definition, u"VK2_TopMenu")) {
    ReadLevel(definition, block.Get(), u"top", &loaded.bar);
    ReadLevel(definition, block.Get(), u"drop", &loaded.drop);
    loaded.emptyLeft = ReadImageAttribute(definition, block.Get(), u"img_top_empty_left");
    loaded.emptyRight = ReadImageAttribute(definition, block.Get(), u"img_top_empty_right");
    ReadRectAttribute(definition, block.Get(), u"rect_borderoffset", &loaded.border);
    bool shadow = true;
    if (block->GetAttributeBool(u"textshadow", &shadow) >= 0) loaded.textShadow = shadow;
  }
  *style = std::move(loaded);
  return true;
}

void DressMenuWindow(MMenuWindow* menu, const MenuLevelLook& look, bool clearFill) {
  MWindowElement* element = menu ? menu->Element() : nullptr;
  if (!element) return;
  if (clearFill) SetInteger(element, kPropMenuBackground, 0);
  SetImage(element, kPropMenuImage, clearFill ? nullptr : look.background.Get());
  for (size_t i = 0; i < look.items.size(); ++i)
    SetImage(element, kPropMenuItemImages[i], look.items[i].Get());
  constexpr const char16_t* kColours[3] = {kPropMenuText, kPropMenuLitText, kPropMenuHighlight};
  for (size_t i = 0; i < look.colours.size(); ++i) {
    if (look.colours[i]) SetInteger(element, kColours[i], static_cast<int32_t>(*look.colours[i]));
  }
  SetInteger(element, kPropFadeDuration, look.fadeMs);
}

}  // namespace vk2::gui
