// The runtime's cache of loaded layered documents: a document is shared while anyone besides
// the cache holds it and loaded afresh once all have let go. Any thread may ask; one lock
// guards the list, and loading happens outside it.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/resource_file.h"
#include "oru/graphics/images/layered_image.h"

namespace vk2::oru {

class PsdCache {
 public:
  using Loader = std::function<int32_t(RefPtr<LayeredImageObject>*)>;

  // The document of `name` in `package`: a held cached one, else what `load` gives (then
  // cached). Entries that only the cache holds are dropped on the way.
  int32_t FindOrLoad(MResourceFile* package, const std::string& name, const Loader& load,
                     RefPtr<LayeredImageObject>* out);
  size_t Size();
  void Clear();

 private:
  struct Entry {
    RefPtr<MResourceFile> package;  // held, so that its address names it for the entry's life
    std::string name;
    RefPtr<LayeredImageObject> document;
  };
  // Under the lock.
  RefPtr<LayeredImageObject> FindLocked(MResourceFile* package, const std::string& name);

  std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace vk2::oru
