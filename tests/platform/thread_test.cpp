#include "platform/thread.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/event.h"

namespace vk2 {
namespace {

TEST(ThreadTest, JoinReturnsTheExitCodeAndCanBeRepeated) {
  for (uint32_t code : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
    Thread t;
    ASSERT_TRUE(t.Start([code] { return code; }));
    uint32_t got = 12345;
    ASSERT_TRUE(t.Join(&got));
    EXPECT_EQ(got, code);
    got = 12345;
    EXPECT_TRUE(t.Join(&got));
    EXPECT_EQ(got, code);
  }
  Thread voidEntry;
  bool ran = false;
  ASSERT_TRUE(voidEntry.Start([&] { ran = true; }));
  uint32_t got = 12345;
  ASSERT_TRUE(voidEntry.Join(&got));
  EXPECT_TRUE(ran);
  EXPECT_EQ(got, 0u);
}

TEST(ThreadTest, JoinOnItselfReturnsFalseAtOnce) {
  Thread t;
  std::atomic<bool> selfJoin{true};
  std::atomic<bool> selfCurrent{false};
  std::atomic<ThreadId> seenId{0};
  ASSERT_TRUE(t.Start([&]() -> uint32_t {
    uint32_t code = 99;
    selfJoin = t.Join(&code);  // would never return if it waited
    selfCurrent = t.IsCurrent();
    seenId = CurrentThreadId();
    return code;
  }));
  EXPECT_FALSE(t.IsCurrent());
  const ThreadId id = t.Id();
  uint32_t code = 0;
  ASSERT_TRUE(t.Join(&code));
  EXPECT_FALSE(selfJoin.load());
  EXPECT_TRUE(selfCurrent.load());
  EXPECT_EQ(code, 99u) << "the failed self-join left the exit code alone";
  EXPECT_EQ(id, seenId.load());
  EXPECT_NE(id, CurrentThreadId());
  EXPECT_NE(id, 0u);
}

TEST(ThreadTest, AForkedChildKnowsItsOwnId) {
  const ThreadId parent = CurrentThreadId();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(CurrentThreadId() == static_cast<ThreadId>(getpid()) ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(CurrentThreadId(), parent);
}

TEST(ThreadTest, EmptyRecordsRefuseEverything) {
  Thread t;
  EXPECT_FALSE(t.IsStarted());
  EXPECT_FALSE(t.Join());
  EXPECT_FALSE(t.IsCurrent());
  EXPECT_EQ(t.Id(), 0u);
  EXPECT_FALSE(t.SetPriority(ThreadPriority::kNormal));
  t.Detach();
  EXPECT_FALSE(t.Start(std::function<uint32_t()>()));
}

TEST(ThreadTest, StartRefusesARecordThatHoldsAThread) {
  Event release;
  Thread t;
  ASSERT_TRUE(t.Start([&] { release.Wait(); }));
  EXPECT_FALSE(t.Start([] {}));
  release.Set();
  ASSERT_TRUE(t.Join());
}

TEST(ThreadTest, DetachedAndDroppedThreadsRunOn) {
  Event release(EventReset::kManual);
  Event finishedA, finishedB;
  {
    Thread a;
    ASSERT_TRUE(a.Start([&] {
      release.Wait();
      finishedA.Set();
    }));
    a.Detach();
    EXPECT_FALSE(a.IsStarted());
    EXPECT_FALSE(a.Join());
    Thread b;
    ASSERT_TRUE(b.Start([&] {
      release.Wait();
      finishedB.Set();
    }));
    // b goes out of scope still running: closing the record detaches it.
  }
  release.Set();
  EXPECT_TRUE(finishedA.Wait());
  EXPECT_TRUE(finishedB.Wait());
}

TEST(ThreadTest, JoinWithTimeLimitGivesUpAndLaterSucceeds) {
  Event release;
  Thread t;
  ASSERT_TRUE(t.Start([&]() -> uint32_t {
    release.Wait();
    return 7;
  }));
  uint32_t code = 0;
  EXPECT_FALSE(t.Join(&code, 0));
  EXPECT_FALSE(t.Join(&code, 5));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(t.IsStarted());
  release.Set();
  ASSERT_TRUE(t.Join(&code));
  EXPECT_EQ(code, 7u);
}

TEST(ThreadTest, MovedRecordsKeepTheThread) {
  Thread a;
  ASSERT_TRUE(a.Start([] { return 5u; }));
  Thread b(std::move(a));
  EXPECT_FALSE(a.IsStarted());  // NOLINT(bugprone-use-after-move)
  Thread c;
  c = std::move(b);
  uint32_t code = 0;
  ASSERT_TRUE(c.Join(&code));
  EXPECT_EQ(code, 5u);
}

size_t OwnStackSize() {
  pthread_attr_t attr;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    pthread_attr_getstacksize(&attr, &size);
    pthread_attr_destroy(&attr);
  }
  return size;
}

TEST(ThreadTest, StackSizeIsAtLeastTheRequestAndTheFloor) {
  struct Case {
    size_t request;
    size_t atLeast;
  };
  for (const Case& c : {Case{4096, Thread::kMinStackSize}, Case{1 << 20, 1 << 20},
                        Case{(3 << 20) + 1, (3 << 20) + 1}}) {
    Thread t;
    std::atomic<size_t> size{0};
    ASSERT_TRUE(t.Start([&] { size = OwnStackSize(); }, c.request));
    ASSERT_TRUE(t.Join());
    EXPECT_GE(size.load(), c.atLeast) << "request " << c.request;
  }
}

TEST(ThreadPriorityTest, LevelsMapOntoFifoOrNice) {
  struct Case {
    int level;
    bool realtime;
    int nice;
  };
  for (const Case& c :
       {Case{15, true, -15}, Case{31, true, -15}, Case{2, false, -10}, Case{6, false, -10},
        Case{1, false, -5}, Case{0, false, 0}, Case{-1, false, 5}, Case{-2, false, 10},
        Case{-14, false, 10}, Case{-15, false, 19}, Case{-99, false, 19}}) {
    const PriorityMapping m = MapThreadPriority(static_cast<ThreadPriority>(c.level));
    EXPECT_EQ(m.realtime, c.realtime) << c.level;
    EXPECT_EQ(m.nice, c.nice) << c.level;
    if (m.realtime) {
      EXPECT_GE(m.fifoPriority, sched_get_priority_min(SCHED_FIFO));
      EXPECT_LE(m.fifoPriority, sched_get_priority_max(SCHED_FIFO));
    }
  }
}

TEST(ThreadPriorityTest, AcceptedPrioritiesTakeEffectOnThatThreadOnly) {
  const int mainNice = getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId()));
  for (ThreadPriority p : {ThreadPriority::kTimeCritical, ThreadPriority::kHighest,
                           ThreadPriority::kBelowNormal, ThreadPriority::kIdle}) {
    Event release;
    Thread t;
    ASSERT_TRUE(t.Start([&] { release.Wait(); }));
    const bool accepted = t.SetPriority(p);
    if (accepted) {
      const auto tid = static_cast<pid_t>(t.Id());
      const PriorityMapping m = MapThreadPriority(p);
      const int policy = sched_getscheduler(tid);
      if (m.realtime && policy == SCHED_FIFO) {
        sched_param param{};
        ASSERT_EQ(sched_getparam(tid, &param), 0);
        EXPECT_EQ(param.sched_priority, m.fifoPriority);
      } else {
        EXPECT_EQ(policy, SCHED_OTHER);
        EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(tid)), m.nice);
      }
    }
    release.Set();
    ASSERT_TRUE(t.Join());
    EXPECT_FALSE(t.SetPriority(p)) << "an ended thread is left alone";
  }
  EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId())), mainNice);
}

// In a child process without the right to raise priorities: refusals are not fatal and are
// reported once.
TEST(ThreadPriorityTest, RefusalIsReportedOnceAndNeverFatal) {
  char logPath[] = "/tmp/vk2-priority-XXXXXX";
  const int logFd = mkstemp(logPath);
  ASSERT_GE(logFd, 0);
  fflush(stderr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_RTPRIO, &none);
    setrlimit(RLIMIT_NICE, &none);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(77);
    dup2(logFd, STDERR_FILENO);
    const bool a = SetCurrentThreadPriority(ThreadPriority::kTimeCritical);
    const bool b = SetCurrentThreadPriority(ThreadPriority::kHighest);
    const bool c = SetCurrentThreadPriority(ThreadPriority::kLowest);  // lowering is allowed
    _exit(!a && !b && c ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  std::string log;
  char buf[512];
  ssize_t n;
  lseek(logFd, 0, SEEK_SET);
  while ((n = read(logFd, buf, sizeof buf)) > 0)
    log.append(buf, static_cast<size_t>(n));
  close(logFd);
  unlink(logPath);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot drop privileges here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  size_t lines = 0;
  for (char ch : log)
    lines += ch == '\n';
  // Once per process; none if this process had already reported one before the fork.
  EXPECT_LE(lines, 1u) << log;
  if (lines == 1) {
    EXPECT_NE(log.find("priority 15"), std::string::npos) << log;
  }
}

}  // namespace
}  // namespace vk2
