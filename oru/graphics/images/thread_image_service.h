// The per-thread image service: loads images and layered documents and keeps the thread's
// scratch surface. It serves only the thread that made it.
#pragma once

#include <memory>
#include <thread>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"
#include "oru/graphics/images/psd_cache.h"

namespace vk2::oru {

class ThreadImageServiceObject final
    : public ComObject<ThreadImageServiceObject,
                       Face<MThreadImageService, kIID_MThreadImageService>> {
 public:
  explicit ThreadImageServiceObject(std::shared_ptr<PsdCache> cache);

  int32_t LoadImage(MResourceFile* package, const char* name, MRasterImage** out) override;
  int32_t LoadImageMemory(const void* data, uint64_t size, MRasterImage** out) override;
  int32_t LoadLayeredImage(MResourceFile* package, const char* name, MLayeredImage** out) override;
  int32_t GetScratch(int32_t width, int32_t height, MSurface** out) override;
  int32_t CreateMask(int32_t width, int32_t height, MMaskImage** out) override;

 private:
  ~ThreadImageServiceObject() override = default;
  bool OnOwnThread() const { return std::this_thread::get_id() == owner_; }

  const std::thread::id owner_;
  std::shared_ptr<PsdCache> cache_;
  RefPtr<MSurface> scratch_;
  int32_t scratchWidth_ = 0;
  int32_t scratchHeight_ = 0;
};

}  // namespace vk2::oru
