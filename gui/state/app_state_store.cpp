#include "gui/state/app_state_store.h"

#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

template <class Map, class T>
int32_t Read(const Map& map, const Guid& key, T* out) {
  auto it = map.find(key);
  if (it == map.end()) return kErrNotFound;
  *out = it->second;
  return kOk;
}

}  // namespace

size_t GuidKeyHash::operator()(const Guid& key) const {
  size_t h = key.data1;
  h = h * 31 + key.data2;
  h = h * 31 + key.data3;
  for (uint8_t b : key.data4)
    h = h * 31 + b;
  return h;
}

RefPtr<MAppStateStore> AppStateStore::Create() {
  return RefPtr<MAppStateStore>(new AppStateStore());
}

AppStateStore::~AppStateStore() {
  // Objects first (each released once), then the value maps.
  Map<RefPtr<MUnknown>> objects;
  objects.swap(objects_);
  objects.clear();
}

int32_t AppStateStore::SetText(const Guid& key, const TString& text) {
  texts_[key] = text;
  return kOk;
}
int32_t AppStateStore::GetText(const Guid& key, TString* out) {
  return Read(texts_, key, out);
}
bool AppStateStore::RemoveText(const Guid& key) {
  return texts_.erase(key) != 0;
}
int32_t AppStateStore::SetWordA(const Guid& key, uint32_t value) {
  wordsA_[key] = value;
  return kOk;
}
int32_t AppStateStore::GetWordA(const Guid& key, uint32_t* out) {
  return Read(wordsA_, key, out);
}
bool AppStateStore::RemoveWordA(const Guid& key) {
  return wordsA_.erase(key) != 0;
}
int32_t AppStateStore::SetWordB(const Guid& key, uint32_t value) {
  wordsB_[key] = value;
  return kOk;
}
int32_t AppStateStore::GetWordB(const Guid& key, uint32_t* out) {
  return Read(wordsB_, key, out);
}
bool AppStateStore::RemoveWordB(const Guid& key) {
  return wordsB_.erase(key) != 0;
}

int32_t AppStateStore::SetObject(const Guid& key, MUnknown* object) {
  if (!object) return kErrMissingArg;
  RefPtr<MUnknown> held(object);
  RemoveObject(key);
  objects_.emplace(key, std::move(held));
  return kOk;
}

int32_t AppStateStore::GetObject(const Guid& key, MUnknown** out) {
  auto it = objects_.find(key);
  if (it == objects_.end()) return kErrNotFound;
  it->second->AddRef();
  *out = it->second.Get();
  return kOk;
}

bool AppStateStore::RemoveObject(const Guid& key) {
  auto it = objects_.find(key);
  if (it == objects_.end()) return false;
  // Released after the entry is gone: the object's teardown may come back to the store.
  RefPtr<MUnknown> old = std::move(it->second);
  objects_.erase(it);
  return true;
}

}  // namespace vk2::gui
