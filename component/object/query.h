// Asking an object for one of its interfaces, from the caller's side. The answer comes back in a
// RefPtr that holds the reference handed out, so no path can leak it or release it twice; a null
// object, an id it does not serve and a failed answer all come back as null.
//
//   if (auto props = Query<MModuleProperties>(chain, kIID_MModuleProperties)) ...
//
// QueryBorrowed is for the few callers whose own reference to the object keeps the answer alive
// while they use it (a part asked on behalf of its outer object, a lookup under a lock).
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"

namespace vk2 {

// Asks `object` (not null) for `iid` into `out` (released first) and returns the object's result
// code; `out` is null whenever the code is a failure.
template <class T, class Object>
int32_t Query(Object* object, const Guid& iid, RefPtr<T>* out) {
  const int32_t r = object->QueryInterface(iid, out->PutVoid(), 1, 0);
  if (Failed(r)) out->Reset();
  return r;
}

// `object` as `T`, asked for by `iid`, with a reference; null when `object` is null or does not
// serve `iid`.
template <class T, class Object>
RefPtr<T> Query(Object* object, const Guid& iid) {
  RefPtr<T> found;
  if (object) Query(object, iid, &found);
  return found;
}

template <class T, class Object>
RefPtr<T> Query(const RefPtr<Object>& object, const Guid& iid) {
  return Query<T>(object.Get(), iid);
}

// `object` as `T` without a reference; null when `object` is null or does not serve `iid`.
template <class T, class Object>
T* QueryBorrowed(Object* object, const Guid& iid) {
  void* found = nullptr;
  if (!object || Failed(object->QueryInterface(iid, &found, 0, 0))) return nullptr;
  return static_cast<T*>(found);
}

template <class T, class Object>
T* QueryBorrowed(const RefPtr<Object>& object, const Guid& iid) {
  return QueryBorrowed<T>(object.Get(), iid);
}

}  // namespace vk2
