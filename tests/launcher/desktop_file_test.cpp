// The desktop entry installed with the program passes the desktop-file validator and starts
// the program with the files it is given.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(DesktopFileTest, TheEntryIsValidAndStartsVelkora2WithFiles) {
  const std::string command =
      std::string("desktop-file-validate '") + VK2_TEST_DESKTOP_FILE + "' 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 127) << "desktop-file-validate is missing (desktop-file-utils)";
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::ifstream in(VK2_TEST_DESKTOP_FILE);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\nExec=velkora2 %U\n"), std::string::npos);
  EXPECT_NE(text.str().find("\nName=Velkora2\n"), std::string::npos);
}

}  // namespace
