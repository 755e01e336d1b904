// Scripts and events that reach a window from a thread other than its GUI loop run on the loop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "script/runtime/script_module.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

const char* const kThreadDocument = R"(
  <window name="main" offset="0,0,120,90">
    <script name="OnInit">clicked = 0; right = 0;</script>
    <script name="OnClick">clicked = clicked + 1;</script>
    <script name="OnRightButtonDown">right = $params[0]["x"] * 1000 + $params[0]["y"];</script>
  </window>)";

class WindowThreadsTest : public MarkupWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NE(Load(kThreadDocument), nullptr);
    main_ = Create(u"main");
    ASSERT_NE(main_, nullptr);
    Turn();
  }

  // Runs `work` on a thread of its own while this thread, the loop's, keeps serving the loop;
  // answers once the thread has finished. The wait has a generous limit so that a hang fails.
  void OnOtherThread(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread other([&] {
      work();
      done = true;
    });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done && std::chrono::steady_clock::now() < limit) {
      loop_->RunPending();
      std::this_thread::yield();
    }
    EXPECT_TRUE(done) << "the other thread never finished";
    other.join();
  }

  // Runs `script` with the main window's script object as `this` on the calling thread.
  std::string RunHere(const std::string& script, int32_t* status = nullptr) {
    return Run(main_.Get(), script, status);
  }

  RefPtr<MWindowElement> main_;
};

TEST_F(WindowThreadsTest, MethodsCalledFromAnotherThreadRunOnTheLoopAndAnswer) {
  RunHere("SetLocation({30, 40}); SetDesiredFPS(25);");
  Step(10);
  ASSERT_EQ(RunHere("return (GetLocation());"), "{30, 40}");

  // Reads off the loop thread answer nothing, so the answers show where the methods ran.
  std::string location, rate;
  int32_t moved = -1;
  OnOtherThread([&] {
    location = RunHere("return (GetLocation());");
    rate = RunHere("return (GetDesiredFPS());");
    RunHere("SetLocation({50, 60});", &moved);
  });
  EXPECT_EQ(location, "{30, 40}");
  EXPECT_EQ(rate, "25");
  EXPECT_GE(moved, 0);
  Step(10);
  EXPECT_EQ(RunHere("return (GetLocation());"), "{50, 60}");
  EXPECT_EQ(ConsoleText(), "") << "no method failed on the other thread";
}

TEST_F(WindowThreadsTest, EventsNotifiedFromAnotherThreadRunTheirScriptsOnTheLoop) {
  ASSERT_EQ(Member(main_.Get(), u"clicked"), "0");
  int32_t clicked = -1, pressed = -1, sized = 0;
  // The loop is not served meanwhile: these calls hand their events over and return.
  std::thread other([&] {
    clicked = main_->Notify(kNotifyClick, 0);
    const PointI at{7, 9};
    pressed = main_->Query(kQueryRightDown, reinterpret_cast<uintptr_t>(&at), 0, 0);
    // A record on this thread's stack cannot be handed over: refused, nothing runs.
    SizeI size{1, 1};
    sized = main_->Notify(kNotifySizeRequest, reinterpret_cast<uintptr_t>(&size));
  });
  other.join();
  EXPECT_EQ(clicked, 0);
  EXPECT_EQ(pressed, 0);
  EXPECT_EQ(sized, kErrWrongState);
  EXPECT_EQ(Member(main_.Get(), u"clicked"), "0") << "nothing ran on the calling thread";
  Turn();
  EXPECT_EQ(Member(main_.Get(), u"clicked"), "1") << "OnClick ran once, on the loop";
  EXPECT_EQ(Member(main_.Get(), u"right"), "7009") << "the point was copied for the loop";
}

}  // namespace
}  // namespace vk2::test
