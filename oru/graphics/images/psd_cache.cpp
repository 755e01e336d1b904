#include "oru/graphics/images/psd_cache.h"

#include "foundation/util/result.h"

namespace vk2::oru {

RefPtr<LayeredImageObject> PsdCache::FindLocked(MResourceFile* package, const std::string& name) {
  RefPtr<LayeredImageObject> found;
  for (size_t i = entries_.size(); i-- > 0;) {
    Entry& e = entries_[i];
    if (e.document->RefCount() == 1) {
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if (!found && e.package.Get() == package && e.name == name) found = e.document;
  }
  return found;
}

int32_t PsdCache::FindOrLoad(MResourceFile* package, const std::string& name, const Loader& load,
                             RefPtr<LayeredImageObject>* out) {
  {
    std::lock_guard lock(mutex_);
    if (auto found = FindLocked(package, name)) {
      *out = std::move(found);
      return kOk;
    }
  }
  RefPtr<LayeredImageObject> loaded;
  const int32_t r = load(&loaded);
  if (r < 0) return r;
  std::lock_guard lock(mutex_);
  // Another thread may have loaded the same document meanwhile: share the first.
  if (auto found = FindLocked(package, name)) {
    *out = std::move(found);
    return kOk;
  }
  entries_.push_back(Entry{RefPtr<MResourceFile>(package), name, loaded});
  *out = std::move(loaded);
  return kOk;
}

size_t PsdCache::Size() {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void PsdCache::Clear() {
  std::vector<Entry> gone;
  {
    std::lock_guard lock(mutex_);
    gone.swap(entries_);
  }
}

}  // namespace vk2::oru
