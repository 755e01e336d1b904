// The class registry's read side: classes, their module files, categories and creation.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Told whenever the registered classes or categories change (in this process or another).
// Called outside the registry's locks; not reference counted: remove it before it goes.
class MRegistryChangeListener {
 public:
  virtual void OnRegistryChanged() = 0;

 protected:
  ~MRegistryChangeListener() = default;
};

class MClassEnumerator : public MUnknown {
 public:
  // add 1 adds (-6 when present), 0 removes (-5 when absent).
  virtual int32_t AddRemoveChangeListener(MRegistryChangeListener* listener, int32_t add) = 0;
  // The module file that serves `classId`; -5 when the class is not registered.
  virtual int32_t GetClassModule(const Guid& classId, TString* path) = 0;
  virtual int32_t GetClassName(const Guid& classId, TString* name) = 0;
  virtual int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out,
                                 MUnknown* outer) = 0;
  // Members of a category in registration order; 0 members for an unknown category.
  virtual int32_t GetCategoryCount(const Guid& category, uint32_t* count) = 0;
  // -5 past the end. `name` may be null.
  virtual int32_t GetCategoryEntry(const Guid& category, uint32_t index, Guid* member,
                                   TString* name) = 0;

 protected:
  ~MClassEnumerator() = default;
};

}  // namespace vk2
