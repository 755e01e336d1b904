#include "markup/styles/text_font.h"

#include "component/object/query.h"
#include "interfaces/graphics/font.h"
#include "interfaces/ids.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {

bool DrawTextWithFont(const TextFont& font, MCanvas* canvas, const TString& text, const RectI& rect,
                      uint32_t flags, uint64_t code, uint32_t color, int32_t opacity) {
  // The image-style service is the image service's object, which also serves fonts.
  auto service = Query<MImageService>(ImageStyleService(), kIID_MImageService);
  if (!service) return false;
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
  if (service->GetFont(&description, handle.Put()) != 0 || !handle) return false;
  handle->DrawText(canvas, text.c_str(), static_cast<int32_t>(text.Length()), rect, flags, code,
                   color, opacity);
  return true;
}

}  // namespace vk2::markup
