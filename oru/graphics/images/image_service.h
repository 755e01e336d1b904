// ImageServiceClass's one object per runtime: fonts, the image-style service and the
// rasterizer mode. Per-thread services and layered documents are new objects per request.
#pragma once

#include <atomic>
#include <memory>

#include "component/object/com_object.h"
#include "interfaces/graphics/font.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"

namespace vk2::oru {

class FontLibrary;
class PsdCache;

class ImageServiceObject final
    : public ComObject<ImageServiceObject, Face<MImageService, kIID_MImageService>,
                       Face<MImageStyleService, kIID_MImageStyleService>,
                       Face<MRasterizer, kIID_MRasterizer>> {
 public:
  explicit ImageServiceObject(std::shared_ptr<FontLibrary> fonts);
  ~ImageServiceObject() override;

  int32_t GetFont(const FontDescription* description, MFont** out) override;
  int32_t GetFontByText(const char16_t* description, MFont** out) override;

  int32_t MakePalette(const CurvePoint* points, int32_t count, bool spline,
                      uint32_t* palette) override;
  int32_t MakeCurve(const CurvePoint* points, int32_t count, bool spline, uint8_t* curve) override;

  uint64_t GetModeMask() override;
  int32_t SetModeMask(uint64_t mask) override;

 private:
  std::shared_ptr<FontLibrary> fonts_;
  std::atomic<uint64_t> modeMask_{0};
};

// Serves kImageServiceClass and kPackageResourceClass for the runtime.
class GraphicsHub {
 public:
  GraphicsHub();
  ~GraphicsHub();

  int32_t Create(const Guid& classId, const Guid& iid, void** out, MUnknown* outer);
  PsdCache& Documents() { return *documents_; }

 private:
  std::shared_ptr<FontLibrary> fonts_;
  std::shared_ptr<PsdCache> documents_;
  std::unique_ptr<ImageServiceObject> service_;
};

}  // namespace vk2::oru
