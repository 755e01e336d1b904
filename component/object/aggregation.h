// Reference counting and identity for objects that can be made as a part of an outer object.
//
// An aggregatable object has two faces. Its inner unknown (non-delegating) belongs to whoever
// made it: the outer object when aggregated, otherwise the object itself. Its interfaces
// forward QueryInterface, AddRef and Release to the controlling unknown: the outer object when
// aggregated, else the inner unknown. So the outer object's count covers every interface it
// hands out, and only its reference to the inner unknown keeps the part alive: no cycle. The
// inner unknown counts on the one reference-counted base and answers by the common rule.
//
//   class Part final : public Aggregatable<Part, Face<MSomething, kIID_MSomething>> {
//    public:
//     explicit Part(MUnknown* outer) : Aggregatable(outer) {}
//   };
#pragma once

#include <cstdint>

#include "component/object/com_object.h"
#include "component/object/query_answer.h"
#include "component/object/ref_counted.h"
#include "interfaces/unknown.h"

namespace vk2 {

class AggregatableObject : public RefCounted {
 public:
  // The non-delegating unknown; its QueryInterface answers the object's own interfaces.
  MUnknown* Inner() { return &inner_; }
  // The outer object, or the inner unknown when not aggregated.
  MUnknown* Controlling() { return outer_ ? outer_ : &inner_; }
  bool IsAggregated() const { return outer_ != nullptr; }

  // Hands the object out as `iid` with one reference: the inner unknown when aggregated (the
  // maker then asks it for `iid`), else the interface itself. -15 when `iid` is not served; the
  // object is destroyed when nobody took it.
  int32_t HandOut(const Guid& iid, void** out);

 protected:
  explicit AggregatableObject(MUnknown* outer) : inner_(this), outer_(outer) {}
  ~AggregatableObject() override = default;

  // The interface for `iid` (without a reference), or null.
  virtual MUnknown* QueryOwnInterface(const Guid& iid) = 0;

 private:
  class InnerUnknown final : public MUnknown {
   public:
    explicit InnerUnknown(AggregatableObject* owner) : owner_(owner) {}
    int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                           uint32_t reserved) override;
    uint32_t AddRef() override { return owner_->RefCounted::AddRef(); }
    uint32_t Release() override { return owner_->RefCounted::Release(); }

   private:
    AggregatableObject* owner_;
  };

  InnerUnknown inner_;
  MUnknown* outer_;
};

// An aggregatable object serving the faces listed, as ComObject does, with every interface's
// three slots going to the controlling unknown.
template <class Derived, class FirstFace, class... MoreFaces>
class Aggregatable : public AggregatableObject, public FirstFace::Type, public MoreFaces::Type... {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    return Controlling()->QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t AddRef() override { return Controlling()->AddRef(); }
  uint32_t Release() override { return Controlling()->Release(); }

 protected:
  explicit Aggregatable(MUnknown* outer) : AggregatableObject(outer) {}
  ~Aggregatable() override = default;

  // The interface for an id beyond the face list (no reference added), or null.
  virtual MUnknown* QueryMore(const Guid& iid) {
    (void)iid;
    return nullptr;
  }

 private:
  MUnknown* QueryOwnInterface(const Guid& iid) final {
    MUnknown* found = FindFace<FirstFace, MoreFaces...>(this, iid);
    return found ? found : QueryMore(iid);
  }
};

}  // namespace vk2
