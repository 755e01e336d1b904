#include "oru/graphics/images/image_service.h"

#include <new>

#include "foundation/util/result.h"
#include "oru/graphics/fonts/font_description_text.h"
#include "oru/graphics/fonts/font_library.h"
#include "oru/graphics/images/layered_image.h"
#include "oru/graphics/images/psd_cache.h"
#include "oru/graphics/images/style_curves.h"
#include "oru/graphics/images/thread_image_service.h"

namespace vk2::oru {

ImageServiceObject::ImageServiceObject(std::shared_ptr<FontLibrary> fonts)
    : ComObject(Lifetime::kOwnedElsewhere), fonts_(std::move(fonts)) {}

ImageServiceObject::~ImageServiceObject() = default;

int32_t ImageServiceObject::GetFont(const FontDescription* description, MFont** out) {
  if (!description || !out) return kErrMissingArg;
  *out = nullptr;
  // A service made without a font library (images only) has no fonts to give.
  if (!fonts_) return kErrNoService;
  return fonts_->GetFont(*description, out);
}

int32_t ImageServiceObject::GetFontByText(const char16_t* description, MFont** out) {
  if (!description || !out) return kErrMissingArg;
  *out = nullptr;
  ParsedFontDescription parsed;
  if (!ParseFontDescription(description, &parsed)) return kErrBadData;
  if (!fonts_) return kErrNoService;
  return fonts_->GetFont(parsed.Description(), out);
}

int32_t ImageServiceObject::MakePalette(const CurvePoint* points, int32_t count, bool spline,
                                        uint32_t* palette) {
  if (!points || !palette || count < 1) return kErrMissingArg;
  uint8_t channels[4][256];
  for (int c = 0; c < 4; ++c) {
    if (!InterpolateChannel(points, count, spline, c * 8, channels[c], 1)) return kErrBadData;
  }
  for (int i = 0; i < 256; ++i) {
    palette[i] = uint32_t{channels[3][i]} << 24 | uint32_t{channels[2][i]} << 16 |
                 uint32_t{channels[1][i]} << 8 | channels[0][i];
  }
  return kOk;
}

int32_t ImageServiceObject::MakeCurve(const CurvePoint* points, int32_t count, bool spline,
                                      uint8_t* curve) {
  if (!points || !curve || count < 1) return kErrMissingArg;
  return InterpolateChannel(points, count, spline, 0, curve, 1) ? kOk : kErrBadData;
}

uint64_t ImageServiceObject::GetModeMask() {
  return modeMask_.load();
}

int32_t ImageServiceObject::SetModeMask(uint64_t mask) {
  modeMask_.store(mask);
  return kOk;
}

GraphicsHub::GraphicsHub()
    : fonts_(std::make_shared<FontLibrary>()),
      documents_(std::make_shared<PsdCache>()),
      service_(std::make_unique<ImageServiceObject>(fonts_)) {}

GraphicsHub::~GraphicsHub() = default;

namespace {

template <class T>
int32_t HandOutNewObject(T* object, const Guid& iid, void** out) {
  if (!object) return kErrOutOfMemory;
  object->AddRef();
  const int32_t r = object->QueryInterface(iid, out, 1, 0);
  object->Release();
  return r;
}

}  // namespace

int32_t GraphicsHub::Create(const Guid& classId, const Guid& iid, void** out, MUnknown* outer) {
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (GuidEquals(classId, kPackageResourceClass)) {
    return HandOutNewObject(new (std::nothrow) LayeredImageObject, iid, out);
  }
  if (!GuidEquals(classId, kImageServiceClass)) return kErrNoInterface;
  if (GuidEquals(iid, kIID_MThreadImageService)) {
    return HandOutNewObject(new (std::nothrow) ThreadImageServiceObject(documents_), iid, out);
  }
  return service_->QueryInterface(iid, out, 1, 0);
}

}  // namespace vk2::oru
