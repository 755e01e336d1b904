// `SecondIdentity<Interface, OwnerType>`: another face of an object that answers interface
// requests of its own (a set other than its owner's) while counting on its owner. The face lists
// what it serves in Find; the answer follows the one rule of AnswerQuery.
#pragma once

#include <cstdint>

#include "component/object/query_answer.h"
#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2 {

template <class Interface, class OwnerType>
class SecondIdentity : public Interface {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1, uint32_t = 0) override {
    return AnswerQuery(Find(iid), out, addRef);
  }
  uint32_t AddRef() override { return owner_->AddRef(); }
  uint32_t Release() override { return owner_->Release(); }

  explicit SecondIdentity(OwnerType* owner) : owner_(owner) {}

  OwnerType* Owner() const { return owner_; }

 protected:
  ~SecondIdentity() = default;
  // The interface this face hands out for `iid` (no reference added), or null.
  virtual MUnknown* Find(const Guid& iid) = 0;

 private:
  OwnerType* owner_;
};

}  // namespace vk2
