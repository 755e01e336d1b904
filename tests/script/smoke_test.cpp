#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

TEST_F(ScriptTest, RunsArithmetic) {
  EXPECT_EQ(Value("return (1 + 2 * 3);"), "7");
}

}  // namespace
}  // namespace vk2::test
