// ComObject, SubObject and Aggregatable: one QueryInterface rule for every object.
#include "component/object/com_object.h"

#include <gtest/gtest.h>

#include "component/object/aggregation.h"
#include "component/object/sub_object.h"
#include "foundation/util/ref_ptr.h"

namespace vk2 {
namespace {

inline constexpr Guid kIID_Base = MakeGuid("11111111-0000-0000-0000-000000000001");
inline constexpr Guid kIID_Wider = MakeGuid("11111111-0000-0000-0000-000000000002");
inline constexpr Guid kIID_Other = MakeGuid("11111111-0000-0000-0000-000000000003");
inline constexpr Guid kIID_Part = MakeGuid("11111111-0000-0000-0000-000000000004");
inline constexpr Guid kIID_Unknown = MakeGuid("11111111-0000-0000-0000-0000000000FF");

class MBase : public MUnknown {
 public:
  virtual int32_t Which() = 0;
};
class MWider : public MBase {};
class MOther : public MUnknown {
 public:
  virtual int32_t Other() = 0;
};
class MPart : public MUnknown {
 public:
  virtual int32_t PartValue() = 0;
};

class Sample final
    : public ComObject<Sample, Face<MWider, kIID_Wider, kIID_Base>, Face<MOther, kIID_Other>> {
 public:
  explicit Sample(int* destroyed) : destroyed_(destroyed) {}
  int32_t Which() override { return 1; }
  int32_t Other() override { return 2; }

 protected:
  MUnknown* QueryMore(const Guid& iid) override {
    return iid == kIID_Part && servesPart_ ? &part_ : nullptr;
  }

 private:
  ~Sample() override { ++*destroyed_; }

  class Part final : public SubObject<MPart, Sample> {
   public:
    using SubObject::SubObject;
    int32_t PartValue() override { return Owner()->Other() + 1; }
  };

  int* destroyed_;
  bool servesPart_ = true;
  Part part_{this};
};

struct QueryCase {
  const char* name;
  const Guid* iid;
  uint32_t addRef;
  int32_t result;
  int expectedValue;  // what the face answered (0: no face)
  uint32_t countAfter;
};

TEST(ComObjectTest, AnswersByTheFaceListWithTheOneRule) {
  const QueryCase cases[] = {
      {"own id", &kIID_Wider, 1, 0, 1, 2},
      {"base id on the same face", &kIID_Base, 1, 0, 1, 2},
      {"second face", &kIID_Other, 1, 0, 2, 2},
      {"sub-object", &kIID_Part, 1, 0, 3, 2},
      {"no reference when the flag is 0", &kIID_Wider, 0, 0, 1, 1},
      {"only the low byte of the flag counts", &kIID_Other, 0x100, 0, 2, 1},
      {"any non-zero low byte counts", &kIID_Other, 0x80, 0, 2, 2},
      {"unknown id", &kIID_Unknown, 1, -15, 0, 1},
  };
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.name);
    int destroyed = 0;
    auto* object = new Sample(&destroyed);
    object->AddRef();
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(*c.iid, &out, c.addRef, 0), c.result);
    EXPECT_EQ(object->RefCount(), c.countAfter);
    int value = 0;
    if (*c.iid == kIID_Wider || *c.iid == kIID_Base) {
      value = out ? static_cast<MBase*>(out)->Which() : 0;
    } else if (*c.iid == kIID_Other) {
      value = out ? static_cast<MOther*>(out)->Other() : 0;
    } else if (*c.iid == kIID_Part) {
      value = out ? static_cast<MPart*>(out)->PartValue() : 0;
    } else {
      EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(value, c.expectedValue);
    while (object->RefCount() > 1)
      object->Release();
    object->Release();
    EXPECT_EQ(destroyed, 1);
  }
}

TEST(ComObjectTest, NullResultPointerGivesMinus3AndAddsNoReference) {
  int destroyed = 0;
  RefPtr<Sample> object(new Sample(&destroyed));
  for (const Guid* iid : {&kIID_Wider, &kIID_Part, &kIID_Unknown}) {
    EXPECT_EQ(object->QueryInterface(*iid, nullptr, 1, 0), -3);
  }
  EXPECT_EQ(object->RefCount(), 1u);
}

TEST(ComObjectTest, EveryFaceAndSubObjectCountsTheOneObject) {
  int destroyed = 0;
  auto* object = new Sample(&destroyed);
  MUnknown* identity = object->Identity();
  identity->AddRef();
  RefPtr<MOther> other;
  ASSERT_EQ(identity->QueryInterface(kIID_Other, other.PutVoid(), 1, 0), 0);
  RefPtr<MPart> part;
  ASSERT_EQ(other->QueryInterface(kIID_Part, part.PutVoid(), 1, 0), 0);
  // The sub-object's QueryInterface is the object's.
  RefPtr<MBase> base;
  ASSERT_EQ(part->QueryInterface(kIID_Base, base.PutVoid(), 1, 0), 0);
  EXPECT_EQ(static_cast<MUnknown*>(static_cast<MWider*>(base.Get())), identity);
  EXPECT_EQ(object->RefCount(), 4u);
  identity->Release();
  other = nullptr;
  base = nullptr;
  EXPECT_EQ(destroyed, 0);
  part = nullptr;  // the last reference, held through the sub-object
  EXPECT_EQ(destroyed, 1);
}

class MFactoryLike : public MUnknown {};

// A class object answers no id, not even its own, yet counts as any object.
class Silent final : public ComObject<Silent, SilentFace<MFactoryLike>> {};

TEST(ComObjectTest, SilentFaceAnswersNothing) {
  RefPtr<Silent> silent(new Silent);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(silent->QueryInterface(kIID_Base, &out, 1, 0), -15);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(silent->QueryInterface(kIID_Base, nullptr, 1, 0), -15);
  EXPECT_EQ(silent->RefCount(), 1u);
}

// An aggregatable part: alone it is its own object; made inside an outer object its interfaces
// count the outer one and only the outer's reference to the inner unknown keeps it alive.
class AggregatedPart final : public Aggregatable<AggregatedPart, Face<MPart, kIID_Part>> {
 public:
  AggregatedPart(MUnknown* outer, int* destroyed) : Aggregatable(outer), destroyed_(destroyed) {}
  int32_t PartValue() override { return 7; }

 private:
  ~AggregatedPart() override { ++*destroyed_; }
  int* destroyed_;
};

class Outer final : public ComObject<Outer, Face<MOther, kIID_Other>> {
 public:
  explicit Outer(int* partsDestroyed) {
    AggregatedPart* part = new AggregatedPart(Identity(), partsDestroyed);
    void* inner = nullptr;
    EXPECT_EQ(part->HandOut(kIID_Part, &inner), 0);
    inner_ = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(inner));
  }
  int32_t Other() override { return 0; }

 protected:
  MUnknown* QueryMore(const Guid& iid) override {
    void* out = nullptr;
    // Asked without a reference: the answer is counted on this object by the caller's rule.
    return inner_->QueryInterface(iid, &out, 0, 0) == 0 ? static_cast<MUnknown*>(out) : nullptr;
  }

 private:
  RefPtr<MUnknown> inner_;
};

TEST(AggregationTest, PartsCountTheOuterObjectAndGoWithIt) {
  int partsDestroyed = 0;
  RefPtr<Outer> outer(new Outer(&partsDestroyed));
  RefPtr<MPart> part;
  ASSERT_EQ(outer->QueryInterface(kIID_Part, part.PutVoid(), 1, 0), 0);
  EXPECT_EQ(part->PartValue(), 7);
  EXPECT_EQ(outer->RefCount(), 2u);
  // The part's QueryInterface is the outer object's.
  RefPtr<MOther> other;
  EXPECT_EQ(part->QueryInterface(kIID_Other, other.PutVoid(), 1, 0), 0);
  EXPECT_EQ(outer->RefCount(), 3u);
  other = nullptr;
  part = nullptr;
  EXPECT_EQ(partsDestroyed, 0);
  outer = nullptr;
  EXPECT_EQ(partsDestroyed, 1);
}

TEST(AggregationTest, HandOutAloneOrForAnUnservedId) {
  int destroyed = 0;
  void* out = nullptr;
  // Alone: the object is handed out as the interface itself, with one reference.
  ASSERT_EQ((new AggregatedPart(nullptr, &destroyed))->HandOut(kIID_Part, &out), 0);
  auto* part = static_cast<MPart*>(out);
  EXPECT_EQ(part->PartValue(), 7);
  void* again = nullptr;
  EXPECT_EQ(part->QueryInterface(kIID_Unknown, &again, 1, 0), -15);
  EXPECT_EQ(part->QueryInterface(kIID_Part, nullptr, 1, 0), -3);
  EXPECT_EQ(part->Release(), 0u);
  EXPECT_EQ(destroyed, 1);
  // Nobody takes an object asked for an id it does not serve.
  EXPECT_EQ((new AggregatedPart(nullptr, &destroyed))->HandOut(kIID_Other, &out), -15);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
}  // namespace vk2
