// The layered document reader: any bytes load or fail cleanly; a loaded document answers every
// layer query and renders every layer without reading outside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/util/ref_ptr.h"
#include "oru/graphics/images/layered_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::RefPtr<vk2::oru::LayeredImageObject> doc(new vk2::oru::LayeredImageObject);
  if (doc->Load(data, size) < 0) return 0;
  int32_t width = 0, height = 0;
  if (doc->GetSize(&width, &height) < 0 || width <= 0 || height <= 0) std::abort();
  for (int32_t i = vk2::kMergedLayer; i < doc->LayerCount(); ++i) {
    vk2::RectI rect;
    doc->LayerRect(i, &rect);
    vk2::RefPtr<vk2::MRasterImage> image;
    if (doc->Render(i, image.Put()) == 0 && image->Bounds().Width() != rect.Width()) std::abort();
    if (const char16_t* name = i >= 0 ? doc->LayerName(i) : nullptr) {
      int32_t found = -2;
      if (doc->FindLayer(name, &found) < 0) std::abort();
    }
  }
  return 0;
}
