#include "oru/graphics/images/layered_image.h"

#include <algorithm>

#include "foundation/text/ascii_case.h"
#include "foundation/util/result.h"
#include "interfaces/runtime/resource_file.h"
#include "oru/graphics/images/pixel_image.h"

namespace vk2::oru {
namespace {

bool SameName(std::u16string_view a, std::u16string_view b, bool fold) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [fold](auto x, auto y) {
           return UnitCode(x, fold) == UnitCode(y, fold);
         });
}

}  // namespace

bool IsLayeredImageName(std::string_view name) {
  constexpr std::string_view kExtension = ".psd";
  if (name.size() < kExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                    [](char a, char b) { return FoldAscii(a) == b; });
}

int32_t LayeredImageObject::Load(const void* data, uint64_t size) {
  if (!data || size == 0) return kErrMissingArg;
  auto doc = std::make_shared<PsdDocument>();
  PsdFailure failure;
  const int32_t r =
      ReadPsd(static_cast<const uint8_t*>(data), static_cast<size_t>(size), doc.get(), &failure);
  std::lock_guard lock(mutex_);
  // A loaded document is immutable: its names and pixels are handed out by pointer.
  if (doc_) return kErrWrongState;
  if (r < 0) {
    failure_ = failure.reason;
    return r;
  }
  failure_.clear();
  doc_ = std::move(doc);
  return kOk;
}

int32_t LayeredImageObject::LoadStream(MResourceStream* stream) {
  if (!stream) return kErrMissingArg;
  return Load(stream->Data(), stream->Size());
}

std::string LayeredImageObject::FailureReason() {
  std::lock_guard lock(mutex_);
  return failure_;
}

std::shared_ptr<const PsdDocument> LayeredImageObject::Document() {
  std::lock_guard lock(mutex_);
  return doc_;
}

const PsdLayer* LayeredImageObject::Layer(const PsdDocument& doc, int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= doc.layers.size()) return nullptr;
  return &doc.layers[static_cast<size_t>(index)];
}

int32_t LayeredImageObject::GetSize(int32_t* width, int32_t* height) {
  auto doc = Document();
  if (!doc) return kErrWrongState;
  if (width) *width = doc->width;
  if (height) *height = doc->height;
  return kOk;
}

int32_t LayeredImageObject::LayerCount() {
  auto doc = Document();
  return doc ? static_cast<int32_t>(doc->layers.size()) : 0;
}

int32_t LayeredImageObject::FindLayer(const char16_t* name, int32_t* index) {
  if (!name || !index) return kErrMissingArg;
  auto doc = Document();
  if (!doc) return kErrWrongState;
  const std::u16string_view wanted(name);
  for (bool fold : {false, true}) {
    for (size_t i = 0; i < doc->layers.size(); ++i) {
      if (SameName(doc->layers[i].name, wanted, fold)) {
        *index = static_cast<int32_t>(i);
        return kOk;
      }
    }
  }
  if (SameName(wanted, u"background", true)) {
    *index = kMergedLayer;
    return kOk;
  }
  return kErrNotFound;
}

const char16_t* LayeredImageObject::LayerName(int32_t index) {
  auto doc = Document();
  if (!doc) return nullptr;
  if (index == kMergedLayer) return u"Background";
  const PsdLayer* layer = Layer(*doc, index);
  // The document lives as long as this object: a second Load is refused.
  return layer ? layer->name.c_str() : nullptr;
}

int32_t LayeredImageObject::LayerRect(int32_t index, RectI* rect) {
  if (!rect) return kErrMissingArg;
  auto doc = Document();
  if (!doc) return kErrWrongState;
  if (index == kMergedLayer) {
    *rect = RectI{0, 0, doc->width, doc->height};
    return kOk;
  }
  const PsdLayer* layer = Layer(*doc, index);
  if (!layer) return kErrOutOfRange;
  *rect = layer->rect;
  return kOk;
}

int32_t LayeredImageObject::LayerOpacity(int32_t index, uint8_t* opacity) {
  if (!opacity) return kErrMissingArg;
  auto doc = Document();
  if (!doc) return kErrWrongState;
  if (index == kMergedLayer) return kErrNotSupported;
  const PsdLayer* layer = Layer(*doc, index);
  if (!layer) return kErrOutOfRange;
  *opacity = layer->opacity;
  return kOk;
}

int32_t LayeredImageObject::LayerBlendKey(int32_t index, uint32_t* key) {
  if (!key) return kErrMissingArg;
  auto doc = Document();
  if (!doc) return kErrWrongState;
  if (index == kMergedLayer) return kErrNotSupported;
  const PsdLayer* layer = Layer(*doc, index);
  if (!layer) return kErrOutOfRange;
  *key = layer->blendKey;
  return kOk;
}

int32_t LayeredImageObject::Render(int32_t index, MRasterImage** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto doc = Document();
  if (!doc) return kErrWrongState;
  const PixelBuffer* pixels = nullptr;
  if (index == kMergedLayer) {
    pixels = &doc->merged;
  } else if (const PsdLayer* layer = Layer(*doc, index)) {
    pixels = &layer->pixels;
  } else {
    return kErrOutOfRange;
  }
  if (pixels->bits.empty()) return kErrNotSupported;  // an empty layer has nothing to draw
  try {
    return HandOutImage(PixelImage::Make(*pixels), out);
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
}

}  // namespace vk2::oru
