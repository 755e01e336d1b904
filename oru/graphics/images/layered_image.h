// PackageResourceClass: a layered document loaded once and read by layer.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "component/object/com_object.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"
#include "oru/graphics/images/psd/psd_document.h"

namespace vk2::oru {

class LayeredImageObject final
    : public ComObject<LayeredImageObject, Face<MLayeredImage, kIID_MLayeredImage>> {
 public:
  LayeredImageObject() = default;

  int32_t Load(const void* data, uint64_t size) override;
  int32_t LoadStream(MResourceStream* stream) override;
  int32_t GetSize(int32_t* width, int32_t* height) override;
  int32_t LayerCount() override;
  int32_t FindLayer(const char16_t* name, int32_t* index) override;
  const char16_t* LayerName(int32_t index) override;
  int32_t LayerRect(int32_t index, RectI* rect) override;
  int32_t LayerOpacity(int32_t index, uint8_t* opacity) override;
  int32_t LayerBlendKey(int32_t index, uint32_t* key) override;
  int32_t Render(int32_t index, MRasterImage** out) override;

  // Why the last Load failed.
  std::string FailureReason();

 private:
  ~LayeredImageObject() override = default;
  // The loaded document; null before a successful load, never replaced after one.
  std::shared_ptr<const PsdDocument> Document();
  const PsdLayer* Layer(const PsdDocument& doc, int32_t index) const;

  std::mutex mutex_;
  std::shared_ptr<const PsdDocument> doc_;
  std::string failure_;
};

// Whether a source name denotes a layered document: by its extension, ignoring case.
bool IsLayeredImageName(std::string_view name);

}  // namespace vk2::oru
