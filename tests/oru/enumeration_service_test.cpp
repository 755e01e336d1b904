// The enumeration service: the runtime hands out one to every user that holds it, as a whole
// object only.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/enumeration_service.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

TEST(EnumerationServiceTest, EveryUserGetsOneAndItAnswersOnlyItsOwnFace) {
  RuntimeSession session;
  ASSERT_TRUE(session.Bound());
  auto first = CreateRuntimeObject<MEnumerationService>(kServiceClass, kIID_MEnumerationService);
  auto second = CreateRuntimeObject<MEnumerationService>(kServiceClass, kIID_MEnumerationService);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.Get(), second.Get());
  void* p = nullptr;
  EXPECT_EQ(first->QueryInterface(kIID_MEnumerationService, &p, 0, 0), kOk);
  EXPECT_EQ(p, static_cast<void*>(first.Get()));
  EXPECT_EQ(first->QueryInterface(kIID_MConsole, &p, 0, 0), kErrNoInterface);
}

}  // namespace
}  // namespace vk2::test
