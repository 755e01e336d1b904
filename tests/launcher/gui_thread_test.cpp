#include "launcher/gui_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2::launcher {
namespace {

// A loop of its own: posts run in order on one thread; it can refuse posts or drop them.
class FakeLoop final : public ComObject<FakeLoop, Face<MOmbrixApp, kIID_MOmbrixApp>> {
 public:
  enum class Mode { kRun, kRefuse, kDrop };
  explicit FakeLoop(Mode mode) : mode_(mode), thread_([this] { Loop(); }) {}

  int32_t Launch(int32_t, const char16_t* const*, const char16_t*, uintptr_t) override { return 0; }
  int32_t Run() override { return 0; }
  int32_t Shutdown() override { return 0; }
  int32_t Quit(int32_t) override { return 0; }
  int32_t PostToGuiThread(void (*callback)(void*), void* context) override {
    if (mode_ == Mode::kRefuse) return kErrFailed;
    std::lock_guard lock(mutex_);
    posts_.push_back({callback, context});
    wake_.notify_all();
    return 0;
  }
  int32_t IsGuiThread() override { return std::this_thread::get_id() == thread_.get_id(); }
  int32_t CreateHost(MHostWindow**) override { return kErrNotSupported; }
  int32_t RunNested(const int32_t*) override { return kErrNotSupported; }
  int32_t PushPump(const LoopPump*) override { return kErrNotSupported; }
  int32_t PopPump() override { return kErrNotSupported; }

  std::thread::id ThreadId() const { return thread_.get_id(); }
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      wake_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
  }

 private:
  ~FakeLoop() override { Stop(); }
  void Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || !posts_.empty(); });
      if (stop_) break;
      auto [callback, context] = posts_.front();
      posts_.pop_front();
      if (mode_ == Mode::kDrop) {
        dropped_.push_back({callback, context});
        continue;
      }
      lock.unlock();
      callback(context);
      lock.lock();
    }
    // What was held back runs now, late, as a loop may run a post after its sender gave up.
    for (auto [callback, context] : dropped_)
      callback(context);
  }

  Mode mode_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<void (*)(void*), void*>> posts_;
  std::vector<std::pair<void (*)(void*), void*>> dropped_;
  bool stop_ = false;
  std::thread thread_;
};

TEST(GuiThreadTest, WorkRunsOnTheLoopThreadAndItsResultComesBack) {
  RefPtr<FakeLoop> loop(new FakeLoop(FakeLoop::Mode::kRun));
  GuiThread gui(RefPtr<MOmbrixApp>(loop.Get()));
  std::thread::id ranOn;
  EXPECT_EQ(gui.Call([&] {
    ranOn = std::this_thread::get_id();
    return int64_t{0x8000};
  }),
            0x8000);
  EXPECT_EQ(ranOn, loop->ThreadId());
  loop->Stop();
}

TEST(GuiThreadTest, WithoutALoopTheWorkRunsInPlace) {
  RefPtr<FakeLoop> refusing(new FakeLoop(FakeLoop::Mode::kRefuse));
  for (GuiThread* gui :
       {new GuiThread(RefPtr<MOmbrixApp>(refusing.Get())), new GuiThread(nullptr)}) {
    std::thread::id ranOn;
    EXPECT_EQ(gui->Call([&] {
      ranOn = std::this_thread::get_id();
      return int64_t{7};
    }),
              7);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    delete gui;
  }
  refusing->Stop();
}

TEST(GuiThreadTest, AtTheEndAWaitForALoopThatNeverRunsThePostGivesUp) {
  RefPtr<FakeLoop> loop(new FakeLoop(FakeLoop::Mode::kDrop));
  GuiThread gui(RefPtr<MOmbrixApp>(loop.Get()));
  std::atomic<bool> ran{false};
  std::optional<int64_t> answer = 1;
  std::thread caller([&] {
    answer = gui.Call([&ran] {
      ran = true;
      return int64_t{5};
    });
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  gui.StopWaiting(50);
  caller.join();
  EXPECT_FALSE(answer.has_value());
  EXPECT_FALSE(ran.load());
  loop->Stop();
  EXPECT_TRUE(ran.load()) << "the late post still ran, on what it owns";
}

}  // namespace
}  // namespace vk2::launcher
