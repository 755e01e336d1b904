// `ComObject<Derived, Faces...>`: an object with its own reference count that answers
// QueryInterface from a list of faces. Each face names an interface the object derives from and
// the ids that hand it out:
//
//   class Console final : public ComObject<Console, Face<MConsole, kIID_MConsole>> { ... };
//   class Reader final
//       : public ComObject<Reader, Face<MStreamReader, kIID_MStreamReader, kIID_MAudioModule>> {};
//
// Ids whose answer is not one of the object's own bases (a sub-object) or depends on the
// instance go to QueryMore. An interface that derives from another is listed once, with the ids
// of both: listing both would make the shared base ambiguous.
//
// No id is given to MUnknown itself: the object's identity is its first face (Identity()), the
// one MUnknown pointer the object hands to the code that keeps or compares it.
#pragma once

#include <cstdint>

#include "component/object/query_answer.h"
#include "component/object/ref_counted.h"
#include "foundation/util/guid.h"

namespace vk2 {

template <class Interface, const Guid&... Ids>
struct Face {
  using Type = Interface;
  static constexpr bool kAnswersSome = sizeof...(Ids) > 0;
  static bool Answers(const Guid& iid) { return ((iid == Ids) || ...); }
};

// The first listed face of `self` that answers `iid` (no reference added), or null.
template <class... Faces, class Self>
MUnknown* FindFace(Self* self, const Guid& iid) {
  MUnknown* found = nullptr;
  ((found = found                 ? found
            : Faces::Answers(iid) ? static_cast<typename Faces::Type*>(self)
                                  : nullptr),
   ...);
  return found;
}

template <class Derived, class FirstFace, class... MoreFaces>
class ComObject : public RefCounted, public FirstFace::Type, public MoreFaces::Type... {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    (void)reserved;
    if constexpr (!FirstFace::kAnswersSome && !(MoreFaces::kAnswersSome || ...)) {
      // Answers nothing: -15 for every id, whatever `out` is.
      if (out) *out = nullptr;
      return kErrUnknownInterface;
    } else {
      return AnswerQuery(Find(iid), out, addRef);
    }
  }
  uint32_t AddRef() override { return RefCounted::AddRef(); }
  uint32_t Release() override { return RefCounted::Release(); }

  MUnknown* Identity() { return static_cast<typename FirstFace::Type*>(this); }

 protected:
  using RefCounted::RefCounted;
  ~ComObject() override = default;

  // The interface for an id beyond the face list (no reference added), or null.
  virtual MUnknown* QueryMore(const Guid& iid) {
    (void)iid;
    return nullptr;
  }

 private:
  MUnknown* Find(const Guid& iid) {
    MUnknown* found = FindFace<FirstFace, MoreFaces...>(this, iid);
    return found ? found : QueryMore(iid);
  }
};

// A face that no id hands out. An object made only of such faces answers -15 for every id, a
// null `out` included (class objects, the packet pool, the script engine), and counts as usual.
template <class Interface>
using SilentFace = Face<Interface>;

}  // namespace vk2
