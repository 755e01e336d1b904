// Aggregation: an outer object gathering parts through the runtime's base object.
#include <gtest/gtest.h>

#include <atomic>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/runtime/registrar.h"
#include "tests/oru/modules/test_module_api.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

// An object of the test's own that lets a base object answer what it does not know itself.
class Outer final : public MUnknown {
 public:
  explicit Outer(bool* destroyed) : destroyed_(destroyed) {}

  // Made aggregated: the base object's inner unknown belongs to this object.
  bool Init() {
    void* inner = nullptr;
    if (RuntimeCreateInstance(kRuntimeRootClass, kIID_MBaseObject, &inner, this) != 0) {
      return false;
    }
    inner_ = static_cast<MUnknown*>(inner);
    return true;
  }

  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t) override {
    *out = nullptr;
    if (GuidEquals(iid, kIID_MTestProbe)) return kErrNoInterface;  // nothing of its own but
    return inner_ ? inner_->QueryInterface(iid, out, addRef, 0) : kErrNoInterface;
  }
  uint32_t AddRef() override { return ++count_; }
  uint32_t Release() override {
    uint32_t left = --count_;
    if (left == 0) {
      // Kept from re-entering while the parts go.
      count_ = 1;
      if (inner_) inner_->Release();
      *destroyed_ = true;
      delete this;
    }
    return left;
  }

  uint32_t Count() const { return count_; }

 private:
  ~Outer() = default;
  bool* destroyed_;
  MUnknown* inner_ = nullptr;
  std::atomic<uint32_t> count_{0};
};

class AggregationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string alpha = sandbox_.CopyModule("vk2test_alpha.so", sandbox_.LibDir());
    ASSERT_TRUE(session_.Bound());
    probe_ = CreateRuntimeObject<MTestProbe>(kAlphaProbeClass, kIID_MTestProbe);
    ASSERT_TRUE(probe_);
  }

  Sandbox sandbox_;
  RuntimeSession session_;
  RefPtr<MTestProbe> probe_;
};

TEST_F(AggregationTest, OuterDelegatesUnknownInterfacesAndCountsEndAtZero) {
  bool destroyed = false;
  auto* outer = new Outer(&destroyed);
  outer->AddRef();
  ASSERT_TRUE(outer->Init());
  EXPECT_EQ(outer->Count(), 1u) << "making the base object holds no outer reference";

  void* p = nullptr;
  ASSERT_EQ(outer->QueryInterface(kIID_MBaseObject, &p, 1, 0), 0);
  auto base = RefPtr<MBaseObject>::Adopt(static_cast<MBaseObject*>(p));
  EXPECT_EQ(outer->Count(), 2u) << "the base object's interface counts the outer object";

  EXPECT_EQ(outer->QueryInterface(kIID_MTestPart, &p, 1, 0), kErrNoInterface);
  ASSERT_EQ(base->AttachPart(kAlphaPartClass, kIID_MTestPart), 0);
  EXPECT_EQ(probe_->LiveObjects(), 2);

  ASSERT_EQ(outer->QueryInterface(kIID_MTestPart, &p, 1, 0), 0);
  auto part = RefPtr<MTestPart>::Adopt(static_cast<MTestPart*>(p));
  EXPECT_EQ(part->Value(), 42);
  EXPECT_EQ(outer->Count(), 3u);
  // Every interface reaches every other through the outer object.
  ASSERT_EQ(part->QueryInterface(kIID_MBaseObject, &p, 1, 0), 0);
  static_cast<MUnknown*>(p)->Release();

  part = nullptr;
  base = nullptr;
  EXPECT_EQ(outer->Count(), 1u);
  EXPECT_FALSE(destroyed);
  outer->Release();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(probe_->LiveObjects(), 1) << "the part went with the outer object";
}

TEST_F(AggregationTest, LaterPartsAnswerFirstAndQueryAfterFindsTheNext) {
  void* p = nullptr;
  ASSERT_EQ(RuntimeCreateInstance(kRuntimeRootClass, kIID_MBaseObject, &p), 0);
  auto base = RefPtr<MBaseObject>::Adopt(static_cast<MBaseObject*>(p));
  ASSERT_EQ(base->AttachPart(kAlphaPartClass, kIID_MTestPart), 0);
  ASSERT_EQ(base->AttachPart(kAlphaPartClass, kIID_MTestPart), 0);

  void* last = nullptr;
  ASSERT_EQ(base->QueryInterface(kIID_MTestPart, &last, 0, 0), 0);
  void* next = nullptr;
  ASSERT_EQ(base->QueryInterfaceAfter(kIID_MTestPart, &next, 0, last), 0);
  EXPECT_NE(next, last);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(base->QueryInterfaceAfter(kIID_MTestPart, &none, 0, next), kErrNoInterface);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(base->QueryInterfaceAfter(kIID_MTestPart, &none, 0, &none), kErrNoInterface);

  // A part that is not aggregated is added with a reference of its own.
  auto standalone = CreateRuntimeObject<MTestPart>(kAlphaPartClass, kIID_MTestPart);
  ASSERT_TRUE(standalone);
  ASSERT_EQ(base->AddPart(standalone.Get()), 0);
  ASSERT_EQ(base->QueryInterface(kIID_MTestPart, &p, 0, 0), 0);
  EXPECT_EQ(p, static_cast<void*>(standalone.Get()));
  EXPECT_EQ(probe_->LiveObjects(), 4);
  base = nullptr;
  EXPECT_EQ(probe_->LiveObjects(), 2);
  standalone = nullptr;
  EXPECT_EQ(probe_->LiveObjects(), 1);
}

TEST_F(AggregationTest, ServicesAndRootInterfacesRefuseAnOuterObject) {
  bool destroyed = false;
  auto* outer = new Outer(&destroyed);
  outer->AddRef();
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(RuntimeCreateInstance(kServiceClass, kIID_MConsole, &p, outer), kErrNoInterface);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(RuntimeCreateInstance(kRuntimeRootClass, kIID_MRegistrar, &p, outer), kErrNoInterface);
  EXPECT_EQ(outer->Count(), 1u);
  outer->Release();
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace vk2::test
