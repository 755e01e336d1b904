#include "oru/graphics/images/thread_image_service.h"

#include <algorithm>
#include <new>
#include <string>

#include "foundation/util/result.h"
#include "interfaces/runtime/resource_file.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/graphics/images/foreign_decoder.h"
#include "oru/graphics/images/layered_image.h"
#include "oru/graphics/images/mask_image.h"

namespace vk2::oru {
namespace {

// Opens a package member; the stream holds the member's bytes.
int32_t OpenMember(MResourceFile* package, const char* name, RefPtr<MResourceStream>* stream) {
  if (!package || !name || !*name) return kErrMissingArg;
  return package->OpenResource(name, stream->Put());
}

}  // namespace

ThreadImageServiceObject::ThreadImageServiceObject(std::shared_ptr<PsdCache> cache)
    : owner_(std::this_thread::get_id()), cache_(std::move(cache)) {}

int32_t ThreadImageServiceObject::LoadImageMemory(const void* data, uint64_t size,
                                                  MRasterImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!OnOwnThread()) return kErrWrongState;
  PixelBuffer pixels;
  const int32_t r =
      DecodeForeignImage(static_cast<const uint8_t*>(data), static_cast<size_t>(size), &pixels);
  if (r < 0) return r;
  return HandOutImage(PixelImage::Make(std::move(pixels)), out);
}

int32_t ThreadImageServiceObject::LoadImage(MResourceFile* package, const char* name,
                                            MRasterImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!OnOwnThread()) return kErrWrongState;
  RefPtr<MResourceStream> stream;
  const int32_t r = OpenMember(package, name, &stream);
  if (r < 0) return r;
  return LoadImageMemory(stream->Data(), stream->Size(), out);
}

int32_t ThreadImageServiceObject::LoadLayeredImage(MResourceFile* package, const char* name,
                                                   MLayeredImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!OnOwnThread()) return kErrWrongState;
  if (!package || !name) return kErrMissingArg;
  if (!IsLayeredImageName(name)) return kErrNotSupported;
  auto load = [package, name](RefPtr<LayeredImageObject>* loaded) {
    RefPtr<MResourceStream> stream;
    int32_t r = OpenMember(package, name, &stream);
    if (r < 0) return r;
    RefPtr<LayeredImageObject> doc(new (std::nothrow) LayeredImageObject);
    if (!doc) return kErrOutOfMemory;
    r = doc->LoadStream(stream.Get());
    if (r < 0) return r;
    *loaded = std::move(doc);
    return kOk;
  };
  RefPtr<LayeredImageObject> doc;
  const int32_t r = cache_->FindOrLoad(package, name, load, &doc);
  if (r < 0) return r;
  *out = doc.Detach();
  return kOk;
}

int32_t ThreadImageServiceObject::GetScratch(int32_t width, int32_t height, MSurface** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!OnOwnThread()) return kErrWrongState;
  if (width < 0 || height < 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
    return kErrOutOfRange;
  }
  // Grows to the union of every size asked so far, so alternating sizes do not reallocate.
  const int32_t w = std::max(width, scratchWidth_);
  const int32_t h = std::max(height, scratchHeight_);
  if (!scratch_ || w != scratchWidth_ || h != scratchHeight_) {
    const int32_t r = scratch_ ? scratch_->Resize(w, h)
                               : gfx::CreateSurface(w, h, PixelFormat::kArgb32, &scratch_);
    if (r < 0) return r;
    scratchWidth_ = w;
    scratchHeight_ = h;
  }
  *out = RefPtr<MSurface>(scratch_).Detach();
  return kOk;
}

int32_t ThreadImageServiceObject::CreateMask(int32_t width, int32_t height, MMaskImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!OnOwnThread()) return kErrWrongState;
  RefPtr<MaskImage> mask;
  const int32_t r = MaskImage::Create(width, height, &mask);
  if (r < 0) return r;
  *out = mask.Detach();
  return kOk;
}

}  // namespace vk2::oru
