// ResourceHandle: copies of a resource record share its open file and its source object.
#include "component/object/resource_handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "component/object/ref_counted.h"
#include "foundation/util/ref_ptr.h"

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

class Tracked final : public RefCounted {
 public:
  explicit Tracked(int* destroyed) : destroyed_(destroyed) {}
  ~Tracked() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

TEST(ResourceHandleTest, CopiesShareTheFileAndTheSourceUntilTheLastReset) {
  Pipe p;
  close(p.fds[1]);
  int sourcesDestroyed = 0;
  ResourceHandle a;
  EXPECT_FALSE(a.Reset());  // nothing held
  a.SetHandle(p.fds[0]);
  a.SetSource(RefPtr<RefCounted>(new Tracked(&sourcesDestroyed)));
  a.SetName(u"skin/button.png");
  a.SetSize(1234);
  a.SetPosition(10);
  a.SetFlags(3);
  {
    ResourceHandle b = a;
    EXPECT_EQ(b.Handle(), p.fds[0]);
    EXPECT_EQ(b.Name(), TString(u"skin/button.png"));
    EXPECT_TRUE(a.Reset());
    EXPECT_EQ(a.Handle(), -1);
    EXPECT_EQ(a.Source(), nullptr);
    EXPECT_TRUE(a.Name().IsEmpty());
    EXPECT_EQ(a.Size(), 0);
    EXPECT_EQ(a.Position(), 0);
    EXPECT_EQ(a.Flags(), 0u);
    EXPECT_TRUE(IsOpenFd(p.fds[0]));
    EXPECT_EQ(sourcesDestroyed, 0);
    EXPECT_EQ(b.Size(), 1234);
  }  // b's destructor drops the last uses
  EXPECT_FALSE(IsOpenFd(p.fds[0]));
  EXPECT_EQ(sourcesDestroyed, 1);
  EXPECT_FALSE(a.Reset());
}

}  // namespace
}  // namespace vk2
