// `SubObject<Interface, OwnerType>`: an extra interface an object hands out as a separate part. It
// has no identity or count of its own: QueryInterface, AddRef and Release act on its owner. (Input
// and output sub-objects of audio modules have no MUnknown at all and do not use this.)
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2 {

template <class Interface, class OwnerType = MUnknown>
class SubObject : public Interface {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    return owner_->QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t AddRef() override { return owner_->AddRef(); }
  uint32_t Release() override { return owner_->Release(); }

  explicit SubObject(OwnerType* owner) : owner_(owner) {}

  OwnerType* Owner() const { return owner_; }

 protected:
  ~SubObject() = default;

 private:
  OwnerType* owner_;
};

}  // namespace vk2
