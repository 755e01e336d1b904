// Query and QueryBorrowed: the caller's side of QueryInterface, with the reference in a RefPtr.
#include "component/object/query.h"

#include <gtest/gtest.h>

#include "component/object/com_object.h"

namespace vk2 {
namespace {

inline constexpr Guid kIID_Served = MakeGuid("22222222-0000-0000-0000-000000000001");
inline constexpr Guid kIID_Refused = MakeGuid("22222222-0000-0000-0000-000000000002");

class MServed : public MUnknown {
 public:
  virtual int32_t Value() = 0;
};

class Served final : public ComObject<Served, Face<MServed, kIID_Served>> {
 public:
  int32_t Value() override { return 42; }
};

// Answers every id with a failure yet leaves a counted pointer behind, as a careless object
// might: the caller must neither use nor leak it.
class Careless final : public ComObject<Careless, Face<MServed, kIID_Served>> {
 public:
  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    AddRef();
    *out = static_cast<MServed*>(this);
    return -1;
  }
  int32_t Value() override { return 0; }
};

TEST(QueryTest, AnswerHoldsOneReferenceThatGoesWithIt) {
  RefPtr<Served> object(new Served);
  {
    RefPtr<MServed> served = Query<MServed>(object, kIID_Served);
    ASSERT_TRUE(served);
    EXPECT_EQ(served->Value(), 42);
    EXPECT_EQ(object->RefCount(), 2u);
  }
  EXPECT_EQ(object->RefCount(), 1u);
}

TEST(QueryTest, NullObjectRefusedIdAndFailedAnswerGiveNullAndKeepTheCount) {
  RefPtr<Served> served(new Served);
  RefPtr<Careless> careless(new Careless);
  EXPECT_FALSE(Query<MServed>(static_cast<Served*>(nullptr), kIID_Served));
  EXPECT_FALSE(Query<MServed>(RefPtr<Served>(), kIID_Served));
  EXPECT_FALSE(Query<MServed>(served, kIID_Refused));
  EXPECT_FALSE(Query<MServed>(careless, kIID_Served));
  EXPECT_EQ(served->RefCount(), 1u);
  EXPECT_EQ(careless->RefCount(), 1u);
}

TEST(QueryTest, CodeFormPassesTheObjectsCodeAndClearsTheOutOnFailure) {
  RefPtr<Served> object(new Served);
  RefPtr<MServed> out;
  EXPECT_EQ(Query(object.Get(), kIID_Served, &out), 0);
  EXPECT_TRUE(out);
  EXPECT_EQ(object->RefCount(), 2u);
  // A failure lets go of what `out` held before.
  EXPECT_EQ(Query(object.Get(), kIID_Refused, &out), -15);
  EXPECT_FALSE(out);
  EXPECT_EQ(object->RefCount(), 1u);
}

TEST(QueryTest, BorrowedAnswerAddsNoReference) {
  RefPtr<Served> object(new Served);
  MServed* served = QueryBorrowed<MServed>(object, kIID_Served);
  ASSERT_NE(served, nullptr);
  EXPECT_EQ(served->Value(), 42);
  EXPECT_EQ(object->RefCount(), 1u);
  EXPECT_EQ(QueryBorrowed<MServed>(object, kIID_Refused), nullptr);
  EXPECT_EQ(QueryBorrowed<MServed>(static_cast<Served*>(nullptr), kIID_Served), nullptr);
}

}  // namespace
}  // namespace vk2
