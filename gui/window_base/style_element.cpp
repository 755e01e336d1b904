#include "gui/window_base/style_element.h"

#include <cmath>

#include "component/module/runtime_loader.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

int32_t Truncated(double value) {
  if (!std::isfinite(value) || value >= 2147483647.0 || value <= -2147483648.0) return 0;
  return static_cast<int32_t>(value);
}

}  // namespace

RefPtr<MXmlNode> FindStyleElement(MInterfaceDefinition* definition, const char16_t* name) {
  if (!definition || !name) return nullptr;
  MXmlNode* node = nullptr;
  if (definition->GetProperty(name, &node) != 0 || !node) return nullptr;
  return RefPtr<MXmlNode>::Adopt(node);
}

BorderOffset ReadBorderOffset(MInterfaceDefinition* definition, MXmlNode* element) {
  std::array<int32_t, 4> rect{};
  ReadRectAttribute(definition, element, u"rect_borderoffset", &rect);
  return BorderOffset{rect[0], rect[1], rect[2], rect[3]};
}

bool ReadRectAttribute(MInterfaceDefinition* definition, MXmlNode* element, const char16_t* name,
                       std::array<int32_t, 4>* out) {
  TString text;
  double rect[4] = {0, 0, 0, 0};
  if (!definition || !element || !out || element->GetAttribute(name, &text) != 0 ||
      definition->GetRect(text.c_str(), rect) != 0) {
    return false;
  }
  for (size_t i = 0; i < 4; ++i)
    (*out)[i] = Truncated(rect[i]);
  return true;
}

bool ReadColorAttribute(MInterfaceDefinition* definition, MXmlNode* element, const char16_t* name,
                        uint32_t* out) {
  TString text;
  uint32_t colour = 0;
  if (!definition || !element || !out || element->GetAttribute(name, &text) != 0 ||
      definition->GetColor(text.c_str(), &colour) != 0) {
    return false;
  }
  *out = colour;
  return true;
}

RefPtr<MImageStyleDrawing> ReadImageAttribute(MInterfaceDefinition* definition, MXmlNode* element,
                                              const char16_t* name) {
  TString text;
  MImageStyleDrawing* image = nullptr;
  if (!definition || !element || element->GetAttribute(name, &text) != 0 ||
      definition->GetImageStyleDrawing(text.c_str(), &image) != 0 || !image) {
    return nullptr;
  }
  return RefPtr<MImageStyleDrawing>::Adopt(image);
}

RefPtr<MFont> ReadFontAttribute(MInterfaceDefinition* definition, MXmlNode* element,
                                const char16_t* name) {
  TString text;
  FontRecord record;
  if (!definition || !element || element->GetAttribute(name, &text) != 0 ||
      definition->GetFont(text.c_str(), nullptr, &record) < 0) {
    return nullptr;
  }
  RefPtr<MImageService> images =
      CreateRuntimeObject<MImageService>(kImageServiceClass, kIID_MImageService);
  if (!images) return nullptr;
  FontDescription description;
  description.kind = record.kind == FontRecordKind::kRaster ? kFontRaster : kFontFace;
  description.face = record.face.c_str();
  description.size = record.size;
  description.style = record.style;
  description.smoothed = record.smoothed;
  description.image = record.image.Get();
  description.glyphList = record.glyphs.c_str();
  description.tracking = record.tracking;
  description.monochrome = record.monochrome;
  description.startX = record.startX;
  description.startY = record.startY;
  MFont* font = nullptr;
  if (images->GetFont(&description, &font) < 0 || !font) return nullptr;
  return RefPtr<MFont>::Adopt(font);
}

bool ReadJustificationAttribute(MInterfaceDefinition* definition, MXmlNode* element,
                                const char16_t* name, uint32_t* out) {
  TString text;
  uint64_t value = 0;
  if (!definition || !element || !out || element->GetAttribute(name, &text) != 0 ||
      definition->ParseAlignmentValue(text.c_str(), &value) < 0) {
    return false;
  }
  *out = static_cast<uint32_t>(value);
  return true;
}

}  // namespace vk2::gui
