#include "markup/styles/text_font.h"

#include "component/object/query.h"
#include "interfaces/graphics/font.h"
#include "interfaces/ids.h"
#include "interfaces/markup/font_record.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {

RefPtr<MFont> GetTextFont(const TextFont& font) {
  // The image-style service is the image service's object, which also serves fonts.
  auto service = Query<MImageService>(ImageStyleService(), kIID_MImageService);
  if (!service) return nullptr;
  FontDescription description;
  description.kind = font.raster ? kFontRaster : kFontFace;
  description.face = font.face.c_str();
  description.size = font.size;
  description.style = font.style;
  description.smoothed = font.smoothed;
  description.image = font.image.Get();
  description.glyphList = font.glyphs.c_str();
  description.tracking = font.tracking;
  description.monochrome = font.monochrome;
  description.startX = font.startX;
  description.startY = font.startY;
  RefPtr<MFont> handle;
  if (service->GetFont(&description, handle.Put()) != 0) return nullptr;
  return handle;
}

bool LookUpTextFont(MInterfaceDefinition* iface, const TString& name, TextFont* out) {
  FontRecord record;
  // GetFont answers 1 for a raster font and 0 for a face font.
  if (!iface || iface->GetFont(name.IsEmpty() ? nullptr : name.c_str(), nullptr, &record) < 0 ||
      record.kind == FontRecordKind::kNone)
    return false;
  out->raster = record.kind == FontRecordKind::kRaster;
  out->face = record.face;
  out->size = record.size;
  out->style = record.style;
  out->smoothed = record.smoothed;
  out->image = record.image;
  out->glyphs = record.glyphs;
  out->tracking = record.tracking;
  out->monochrome = record.monochrome;
  out->startX = record.startX;
  out->startY = record.startY;
  return true;
}

bool DrawTextWithFont(const TextFont& font, MCanvas* canvas, const TString& text, const RectI& rect,
                      uint32_t flags, uint64_t code, uint32_t color, int32_t opacity) {
  RefPtr<MFont> handle = GetTextFont(font);
  if (!handle) return false;
  handle->DrawText(canvas, text.c_str(), static_cast<int32_t>(text.Length()), rect, flags, code,
                   color, opacity);
  return true;
}

}  // namespace vk2::markup
