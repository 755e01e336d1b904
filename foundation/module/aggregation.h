// Reference counting and identity for objects that can be made as a part of an outer object.
//
// An aggregatable object has two faces. Its inner unknown (non-delegating) belongs to whoever
// made it: the outer object when aggregated, otherwise the object itself. Its interfaces
// forward QueryInterface, AddRef and Release to the controlling unknown: the outer object when
// aggregated, else the inner unknown. So the outer object's count covers every interface it
// hands out, and only its reference to the inner unknown keeps the part alive: no cycle.
//
//   class Part final : public AggregatableObject, public MSomething {
//    public:
//     explicit Part(MUnknown* outer) : AggregatableObject(outer) {}
//     VK2_DELEGATE_UNKNOWN
//    protected:
//     void* QueryOwnInterface(const Guid& iid) override {
//       return GuidEquals(iid, kIID_MSomething) ? static_cast<MSomething*>(this) : nullptr;
//     }
//   };
#pragma once

#include <atomic>
#include <cstdint>

#include "foundation/util/result.h"
#include "interfaces/unknown.h"

namespace vk2 {

class AggregatableObject {
 public:
  AggregatableObject(const AggregatableObject&) = delete;
  AggregatableObject& operator=(const AggregatableObject&) = delete;

  // The non-delegating unknown; its QueryInterface answers the object's own interfaces.
  MUnknown* Inner() { return &inner_; }
  // The outer object, or the inner unknown when not aggregated.
  MUnknown* Controlling() { return outer_ ? outer_ : &inner_; }
  bool IsAggregated() const { return outer_ != nullptr; }

  // Hands the object out as `iid` with one reference: the inner unknown when aggregated (the
  // maker then asks it for `iid`), else the interface itself. -15 when `iid` is not served; the
  // object is destroyed when nobody took it.
  int32_t HandOut(const Guid& iid, void** out);

  int32_t DelegatedQueryInterface(const Guid& iid, void** out, uint32_t addRef) {
    return Controlling()->QueryInterface(iid, out, addRef, 0);
  }
  uint32_t DelegatedAddRef() { return Controlling()->AddRef(); }
  uint32_t DelegatedRelease() { return Controlling()->Release(); }

 protected:
  explicit AggregatableObject(MUnknown* outer) : inner_(this), outer_(outer) {}
  virtual ~AggregatableObject() = default;

  // The interface pointer for `iid` (without a reference), or null.
  virtual void* QueryOwnInterface(const Guid& iid) = 0;

 private:
  class InnerUnknown final : public MUnknown {
   public:
    explicit InnerUnknown(AggregatableObject* owner) : owner_(owner) {}
    int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                           uint32_t reserved) override;
    uint32_t AddRef() override { return count_.fetch_add(1) + 1; }
    uint32_t Release() override;

   private:
    friend class AggregatableObject;
    AggregatableObject* owner_;
    std::atomic<uint32_t> count_{0};
  };

  InnerUnknown inner_;
  MUnknown* outer_;
};

// The three slots of every interface of an AggregatableObject.
#define VK2_DELEGATE_UNKNOWN                                                      \
  int32_t QueryInterface(const ::vk2::Guid& iid, void** out, uint32_t addRef = 1, \
                         uint32_t reserved = 0) override {                        \
    (void)reserved;                                                               \
    return DelegatedQueryInterface(iid, out, addRef);                             \
  }                                                                               \
  uint32_t AddRef() override {                                                    \
    return DelegatedAddRef();                                                     \
  }                                                                               \
  uint32_t Release() override {                                                   \
    return DelegatedRelease();                                                    \
  }

}  // namespace vk2
