// A GUI loop on the headless backend with a fake clock, and a window part that records what
// reaches it, for the GUI layer's tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "oru/gui/backend/headless_backend.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/loop/app_object.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/window/window_part_of.h"
#include "platform/fake_clock.h"

namespace vk2::gui::test {

struct Received {
  uint32_t code = 0;
  uintptr_t argument = 0;
  PointI point;  // for queries carrying one
};

// Fills its area with one colour; answers a configurable hit code; records notifications and
// queries; handles the queries listed in `handles`.
class RecordingPart final : public WindowPartOf<RecordingPart, MWindowElement> {
 public:
  static RefPtr<RecordingPart> Make(uint32_t color = 0);

  uint32_t color = 0;
  int32_t hitCode = kHitActive;
  std::vector<uint32_t> handles;
  std::vector<Received> notes;
  std::vector<Received> queries;
  std::vector<Received> childNotes;  // code and the child, as its address
  SizeI minSize{0, 0};
  bool leftHalfRegion = false;
  std::vector<DockChangeRecord> dockChanges;
  std::vector<std::u16string> dockNames;
  std::vector<std::u16string> dropped;

  int32_t CountNotes(uint32_t code) const;
  int32_t CountQueries(uint32_t code) const;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnHitCode(PointI point) override;
  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnRegion(MMaskImage* target, int32_t width, int32_t height) override;
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override {
    childNotes.push_back(Received{code, reinterpret_cast<uintptr_t>(child), {}});
    return WindowPartOf::ChildNotify(code, child, argument);
  }

 private:
  RecordingPart() : WindowPartOf(nullptr) {}
  ~RecordingPart() override = default;
};

class GuiTest : public ::testing::Test {
 protected:
  GuiTest();
  ~GuiTest() override;

  // A shown host whose root is `root`, at `rect` on the screen.
  RefPtr<HostWindowObject> MakeHost(RecordingPart* root, const RectI& rect);
  // A child of `parent` at (x, y, w, h).
  RefPtr<RecordingPart> AddChild(RecordingPart* parent, int32_t x, int32_t y, int32_t w, int32_t h,
                                 uint32_t color = 0);
  // Steps the fake clock and runs one loop turn.
  void Step(uint64_t ms);
  void Turn() { loop_->RunPending(); }
  uint32_t PixelAt(HostWindowObject* host, int32_t x, int32_t y);

  FakeClock clock_{1000};
  ScopedClock scopedClock_{clock_};
  HeadlessBackend* backend_ = nullptr;
  std::unique_ptr<GuiLoop> loop_;
};

// Runs `task` on the application's loop thread and waits until it has run.
template <class F>
void RunOnLoop(AppObject& app, F task) {
  struct Call {
    F* task;
    std::atomic<bool> done{false};
  } call{&task, {}};
  ASSERT_EQ(app.PostToGuiThread(
                [](void* p) {
                  auto* c = static_cast<Call*>(p);
                  (*c->task)();
                  c->done = true;
                },
                &call),
            0);
  while (!call.done)
    std::this_thread::yield();
}

// A tween record moving to (x, y) (or any two words) from the current value.
TweenRecord PointTween(int32_t x, int32_t y, int32_t curve = kTweenLinear);

}  // namespace vk2::gui::test
