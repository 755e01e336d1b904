// Posts and window commands from several threads while the loop animates and paints a host:
// every post runs once, in each thread's order, and the marshalled commands all land.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "interfaces/gui/host_window.h"
#include "oru/gui/loop/app_object.h"
#include "platform/environment.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

constexpr int kThreads = 4;
constexpr int kPostsPerThread = 400;

struct Shared {
  AppObject* app = nullptr;
  RecordingPart* moving = nullptr;
  MHostWindow* host = nullptr;
  std::vector<int> lastSeen = std::vector<int>(kThreads, -1);  // loop thread only
  std::atomic<int> outOfOrder{0};
  std::atomic<int> ran{0};
};

struct PostArg {
  Shared* shared;
  int thread;
  int index;
};

class CountingTask final : public ComObject<CountingTask, Face<MHostTask, kIID_MHostTask>> {
 public:
  explicit CountingTask(std::atomic<int>* count) : count_(count) {}
  int32_t Run(MWindowElement*, uintptr_t, uintptr_t) override {
    ++*count_;
    return 0;
  }

 private:
  std::atomic<int>* count_;
};

TEST(GuiPostsStressTest, PostsFromManyThreadsWhileTheLoopPaints) {
  SetEnv("VK2_GUI_BACKEND", "headless");
  AppObject& app = AppObject::Instance();
  ASSERT_EQ(app.Launch(0, nullptr, nullptr, 0), 0);
  Shared shared;
  shared.app = &app;
  RefPtr<RecordingPart> root;
  RefPtr<RecordingPart> moving;
  RefPtr<MHostWindow> host;
  RunOnLoop(app, [&] {
    root = RecordingPart::Make(0xFF101010);
    moving = RecordingPart::Make(0xFFFF8000);
    MHostWindow* h = nullptr;
    ASSERT_EQ(app.CreateHost(&h), 0);
    host = RefPtr<MHostWindow>::Adopt(h);
    const RectI rect{0, 0, 320, 240};
    root->SetSize(SizeI{320, 240});
    ASSERT_EQ(host->SetRoot(root->Self()), 0);
    host->SetScreenRect(&rect);
    moving->SetSize(SizeI{40, 40});
    root->AttachChild(moving->Self(), kPlaceModeTop);
  });
  shared.moving = moving.Get();
  shared.host = host.Get();

  std::atomic<int> tasks{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<PostArg> args(kPostsPerThread);
      for (int i = 0; i < kPostsPerThread; ++i) {
        args[i] = PostArg{&shared, t, i};
        ASSERT_EQ(app.PostToGuiThread(
                      [](void* p) {
                        auto* a = static_cast<PostArg*>(p);
                        int& last = a->shared->lastSeen[a->thread];
                        if (last + 1 != a->index) ++a->shared->outOfOrder;
                        last = a->index;
                        ++a->shared->ran;
                      },
                      &args[i]),
                  0);
        if (i % 20 == 0) {
          // Called off the loop thread: handed to the loop with a copy of the record.
          const TweenRecord record = PointTween((i * 7 + t * 13) % 280, (i * 3) % 200);
          EXPECT_EQ(shared.moving->Self()->PostCommand(
                        kCmdLocation, 0, 30, reinterpret_cast<uintptr_t>(&record), nullptr, 0, 0),
                    0);
          RefPtr<CountingTask> task(new CountingTask(&tasks));
          EXPECT_EQ(shared.host->QueueTask(task.Get(), nullptr, 0, 0), 0);
        }
      }
      // Posts run in order: once this one has run, so have all of this thread's, and their
      // arguments may go.
      RunOnLoop(app, [] {});
    });
  }
  for (std::thread& th : threads)
    th.join();
  RunOnLoop(app, [] {});
  EXPECT_EQ(shared.ran.load(), kThreads * kPostsPerThread);
  EXPECT_EQ(shared.outOfOrder.load(), 0);
  EXPECT_EQ(tasks.load(), kThreads * (kPostsPerThread / 20));
  // Let the last tweens finish, then check that frames were presented.
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  RunOnLoop(app, [&] {
    EXPECT_GT(host->GetActualFps(), 0.0);
    EXPECT_EQ(moving->PendingCommandCount(), 0u);
    root = nullptr;
    moving = nullptr;
    host = nullptr;
  });
  ASSERT_EQ(app.Shutdown(), 0);
}

}  // namespace
}  // namespace vk2::gui::test
