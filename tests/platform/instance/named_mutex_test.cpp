#include "platform/instance/named_mutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/platform/instance/private_run_folder.h"

namespace vk2::instance {
namespace {

TEST(NamedMutexTest, OneHolderAtATimeAndReleaseFreesIt) {
  test::PrivateRunFolder run;
  NamedMutex first("TarnWickPlusPlus");
  ASSERT_TRUE(first.Held());
  NamedMutex second("TarnWickPlusPlus");
  EXPECT_FALSE(second.Held());
  NamedMutex otherName("SomethingElse");
  EXPECT_TRUE(otherName.Held());
  first.Release();
  NamedMutex third("TarnWickPlusPlus");
  EXPECT_TRUE(third.Held());

  struct stat st {};
  ASSERT_EQ(::stat(run.RunFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(NamedMutexTest, AHolderKilledOutrightNoLongerHoldsIt) {
  test::PrivateRunFolder run;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    NamedMutex held("TarnWickPlusPlus");
    const char answer = held.Held() ? 'y' : 'n';
    (void)!::write(ready[1], &answer, 1);
    for (;;)
      ::pause();
  }
  char answer = 0;
  ASSERT_EQ(::read(ready[0], &answer, 1), 1);
  ASSERT_EQ(answer, 'y');
  EXPECT_FALSE(NamedMutex("TarnWickPlusPlus").Held());
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(NamedMutex("TarnWickPlusPlus").Held());
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(NamedMutexTest, NamesThatAreNoFileNamesAreNeverHeld) {
  test::PrivateRunFolder run;
  for (const char* name : {"", ".", "..", "a/b"}) {
    EXPECT_FALSE(NamedMutex(name).Held()) << name;
  }
}

}  // namespace
}  // namespace vk2::instance
