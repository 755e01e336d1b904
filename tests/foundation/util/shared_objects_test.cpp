// HandleHolder and StringProperty: the small ownership records.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "foundation/util/handle_holder.h"
#include "foundation/util/string_property.h"

namespace vk2 {
namespace {

bool IsOpenFd(int fd) {
  return fcntl(fd, F_GETFD) != -1;
}

// Both ends of a fresh pipe.
struct Pipe {
  Pipe() { EXPECT_EQ(pipe(fds), 0); }
  int fds[2] = {-1, -1};
};

TEST(HandleHolderTest, CloseClosesOnceAndClears) {
  Pipe p;
  {
    HandleHolder read(p.fds[0]);
    HandleHolder write(p.fds[1]);
    EXPECT_TRUE(read.IsOpen());
    read.Close();
    EXPECT_FALSE(read.IsOpen());
    EXPECT_EQ(read.Get(), -1);
    EXPECT_FALSE(IsOpenFd(p.fds[0]));
    read.Close();  // nothing held: no second close of a number that may be reused

    HandleHolder moved = std::move(write);
    EXPECT_FALSE(write.IsOpen());  // NOLINT(bugprone-use-after-move)
    EXPECT_TRUE(IsOpenFd(p.fds[1]));
    const int given = moved.Release();
    EXPECT_EQ(given, p.fds[1]);
  }
  EXPECT_TRUE(IsOpenFd(p.fds[1]));  // released, not closed
  close(p.fds[1]);

  Pipe q;
  {
    HandleHolder h(q.fds[0]);
    h.Reset(q.fds[1]);
    EXPECT_FALSE(IsOpenFd(q.fds[0]));
  }
  EXPECT_FALSE(IsOpenFd(q.fds[1]));
}

TEST(StringPropertyTest, ValueOnlyWhenSetOrDefaulted) {
  StringProperty p;
  EXPECT_FALSE(p.HasValue());
  EXPECT_TRUE(p.GetValue().IsEmpty());
  p.SetDefault(u"fallback");
  EXPECT_FALSE(p.IsSet());
  EXPECT_EQ(p.GetValue(), TString(u"fallback"));
  p.Set(u"mine");
  p.SetDefault(u"ignored once set");
  EXPECT_TRUE(p.IsSet());
  EXPECT_EQ(p.GetValue(), TString(u"mine"));
  p.Set(TString());
  EXPECT_TRUE(p.HasValue());
  EXPECT_TRUE(p.GetValue().IsEmpty());
  p.Clear();
  EXPECT_FALSE(p.HasValue());
  EXPECT_TRUE(p.GetValue().IsEmpty());
}

}  // namespace
}  // namespace vk2
