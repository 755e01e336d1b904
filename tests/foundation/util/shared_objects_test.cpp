// RefCounted, HandleHolder, StringProperty and ResourceHandle: the small ownership records.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "foundation/util/handle_holder.h"
#include "foundation/util/ref_counted.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/resource_handle.h"
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

class Tracked final : public RefCounted {
 public:
  explicit Tracked(int* destroyed) : destroyed_(destroyed) {}
  ~Tracked() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

TEST(RefCountedTest, ReleaseReturnsTheNewCountAndDeletesAtZero) {
  int destroyed = 0;
  auto* t = new Tracked(&destroyed);
  EXPECT_EQ(t->RefCount(), 0u);
  EXPECT_EQ(t->AddRef(), 1u);
  EXPECT_EQ(t->AddRef(), 2u);
  EXPECT_EQ(t->Release(), 1u);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(t->Release(), 0u);
  EXPECT_EQ(destroyed, 1);

  {
    RefPtr<Tracked> a(new Tracked(&destroyed));
    RefPtr<Tracked> b = a;
    EXPECT_EQ(a->RefCount(), 2u);
  }
  EXPECT_EQ(destroyed, 2);
}

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
