#include "platform/environment.h"

#include <gtest/gtest.h>

namespace vk2 {
namespace {

TEST(EnvironmentTest, UnsetDiffersFromEmpty) {
  const std::string name = "VK2_PLATFORM_TEST_VARIABLE";
  ASSERT_TRUE(UnsetEnv(name));
  EXPECT_EQ(GetEnv(name), std::nullopt);
  ASSERT_TRUE(SetEnv(name, ""));
  EXPECT_EQ(GetEnv(name), std::optional<std::string>(""));
  ASSERT_TRUE(SetEnv(name, "caf\xC3\xA9 = x"));
  EXPECT_EQ(GetEnv(name), std::optional<std::string>("caf\xC3\xA9 = x"));
  ASSERT_TRUE(UnsetEnv(name));
  EXPECT_EQ(GetEnv(name), std::nullopt);
  EXPECT_TRUE(UnsetEnv(name)) << "unsetting an unset variable is fine";
}

TEST(EnvironmentTest, RefusesBadNamesAndValues) {
  for (const std::string& bad : {std::string(), std::string("A=B"), std::string("A\0B", 3)}) {
    EXPECT_FALSE(SetEnv(bad, "v"));
    EXPECT_FALSE(UnsetEnv(bad));
    EXPECT_EQ(GetEnv(bad), std::nullopt);
  }
  EXPECT_FALSE(SetEnv("VK2_PLATFORM_TEST_VARIABLE", std::string("a\0b", 3)));
  EXPECT_EQ(GetEnv("VK2_PLATFORM_TEST_VARIABLE"), std::nullopt);
}

}  // namespace
}  // namespace vk2
