#include "platform/executable_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

namespace vk2 {
namespace {

TEST(ExecutablePathTest, NamesThisProgramAndItsFolder) {
  const std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  EXPECT_TRUE(path.ends_with("/vk2_platform_tests")) << path;
  char* real = realpath("/proc/self/exe", nullptr);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(path, real);
  free(real);
  const std::string folder = ExecutableFolder();
  EXPECT_EQ(folder + "/vk2_platform_tests", path);
}

}  // namespace
}  // namespace vk2
