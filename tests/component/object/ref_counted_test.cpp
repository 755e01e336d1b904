// RefCounted: the count, deletion at zero, the hook before destruction, objects owned elsewhere.
#include "component/object/ref_counted.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"

namespace vk2 {
namespace {

class Tracked : public RefCounted {
 public:
  explicit Tracked(std::vector<std::string>* log, Lifetime lifetime = Lifetime::kDeletesItself)
      : RefCounted(lifetime), log_(log) {}
  ~Tracked() override { log_->push_back("destroyed"); }

 protected:
  void BeforeDestroy() override { log_->push_back("before:" + Name()); }
  virtual std::string Name() { return "tracked"; }

  std::vector<std::string>* log_;
};

class Derived final : public Tracked {
 public:
  using Tracked::Tracked;

 private:
  // The hook runs while the most derived class still stands.
  std::string Name() override { return "derived"; }
};

TEST(RefCountedTest, ReleaseReturnsTheNewCountAndDeletesAtZero) {
  std::vector<std::string> log;
  auto* t = new Tracked(&log);
  EXPECT_EQ(t->RefCount(), 0u);
  EXPECT_EQ(t->AddRef(), 1u);
  EXPECT_EQ(t->AddRef(), 2u);
  EXPECT_EQ(t->Release(), 1u);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(t->Release(), 0u);
  EXPECT_EQ(log, (std::vector<std::string>{"before:tracked", "destroyed"}));

  log.clear();
  {
    RefPtr<Tracked> a(new Derived(&log));
    RefPtr<Tracked> b = a;
    EXPECT_EQ(a->RefCount(), 2u);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"before:derived", "destroyed"}));
}

TEST(RefCountedTest, AnObjectOwnedElsewhereOnlyCounts) {
  std::vector<std::string> log;
  {
    Tracked owned(&log, RefCounted::Lifetime::kOwnedElsewhere);
    EXPECT_EQ(owned.AddRef(), 1u);
    EXPECT_EQ(owned.Release(), 0u);
    EXPECT_EQ(owned.AddRef(), 1u);
    EXPECT_EQ(owned.Release(), 0u);
    EXPECT_TRUE(log.empty());
  }
  EXPECT_EQ(log, (std::vector<std::string>{"destroyed"}));
}

// References taken and dropped during destruction (a part calling back into its owner) must not
// delete the object a second time.
class Reentrant final : public RefCounted {
 public:
  explicit Reentrant(int* destroyed) : destroyed_(destroyed) {}
  ~Reentrant() override {
    AddRef();
    Release();
    ++*destroyed_;
  }

 private:
  void BeforeDestroy() override {
    AddRef();
    Release();
  }
  int* destroyed_;
};

TEST(RefCountedTest, ReferencesTakenDuringDestructionDoNotDeleteTwice) {
  int destroyed = 0;
  auto* r = new Reentrant(&destroyed);
  r->AddRef();
  r->Release();
  EXPECT_EQ(destroyed, 1);
}

// TryAddRef and IsHeld: a reference only while someone holds the object, never before the first
// holder nor once destruction has begun (a child reaching a parent that is going away).
class Probed final : public RefCounted {
 public:
  explicit Probed(std::vector<std::string>* log) : log_(log) {}

 private:
  void BeforeDestroy() override {
    log_->push_back(std::string("held:") + (IsHeld() ? "yes" : "no"));
    log_->push_back(std::string("try:") + (TryAddRef() ? "yes" : "no"));
  }
  std::vector<std::string>* log_;
};

TEST(RefCountedTest, TryAddRefOnlyWhileHeld) {
  std::vector<std::string> log;
  auto* p = new Probed(&log);
  EXPECT_FALSE(p->IsHeld());
  EXPECT_FALSE(p->TryAddRef());
  EXPECT_EQ(p->RefCount(), 0u);
  p->AddRef();
  EXPECT_TRUE(p->IsHeld());
  EXPECT_TRUE(p->TryAddRef());
  EXPECT_EQ(p->RefCount(), 2u);
  p->Release();
  p->Release();
  EXPECT_EQ(log, (std::vector<std::string>{"held:no", "try:no"}));
}

}  // namespace
}  // namespace vk2
