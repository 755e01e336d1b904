// The GUI loop's two figures: wake-ups per second while nothing animates (against a loop that
// polls at 60 Hz, the reference), and the share of one core a full-window tween at 60 frames
// per second on a 1024x768 host costs (against only filling that surface 60 times a second).
// Run on the headless backend (the loop's own wait and a presented copy of every frame) and,
// when DISPLAY names an X server, on the SDL backend.
#include <benchmark/benchmark.h>

#include <time.h>

#include <memory>

#include "interfaces/graphics/canvas.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/gui/backend/headless_backend.h"
#include "oru/gui/backend/sdl_backend.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/window/window_part_of.h"
#include "platform/environment.h"

namespace vk2::gui {
namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;

class FillPart final : public WindowPartOf<FillPart, MWindowElement> {
 public:
  static RefPtr<FillPart> Make(uint32_t color) {
    RefPtr<FillPart> part(new FillPart);
    part->color_ = color;
    return part;
  }
  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override {
    const RectF area{static_cast<double>(record.dirty.left), static_cast<double>(record.dirty.top),
                     static_cast<double>(record.dirty.right),
                     static_cast<double>(record.dirty.bottom)};
    canvas->FillRect(area, color_, 0xF, 256, false);
    return true;
  }

 private:
  FillPart() : WindowPartOf(nullptr) {}
  ~FillPart() override = default;
  uint32_t color_ = 0;
};

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::unique_ptr<GuiBackend> MakeBackend(bool sdl) {
  if (!sdl) return std::make_unique<HeadlessBackend>();
  if (!GetEnv("DISPLAY")) return nullptr;
  return SdlBackend::Create();
}

struct Scene {
  std::unique_ptr<GuiLoop> loop;
  RefPtr<HostWindowObject> host;
  RefPtr<FillPart> root;
  RefPtr<FillPart> panel;
};

bool MakeScene(bool sdl, Scene* scene) {
  std::unique_ptr<GuiBackend> backend = MakeBackend(sdl);
  if (!backend) return false;
  scene->loop = std::make_unique<GuiLoop>(std::move(backend));
  scene->root = FillPart::Make(0xFF203040);
  scene->panel = FillPart::Make(0xFFC08020);
  scene->root->SetSize(SizeI{kWidth, kHeight});
  scene->panel->SetSize(SizeI{kWidth, kHeight});
  scene->root->AttachChild(scene->panel->Self(), kPlaceModeTop);
  if (HostWindowObject::Create(scene->loop.get(), &scene->host) != 0) return false;
  scene->host->SetRoot(scene->root->Self());
  scene->loop->RunPending();
  return true;
}

void CloseScene(Scene* scene) {
  scene->host->Close();
  scene->host = nullptr;
  scene->panel = nullptr;
  scene->root = nullptr;
  scene->loop.reset();
}

// Serves the loop for `ms` of real time; answers the wake-ups and the loop thread's CPU time.
void Serve(GuiLoop* loop, uint32_t ms, uint64_t* wakeups, double* cpu) {
  int32_t done = 0;
  loop->StartTimer(loop->NowMs() + ms, [&done] { done = 1; });
  const uint64_t before = loop->Backend().WakeCount();
  const double cpuBefore = ThreadCpuSeconds();
  loop->RunUntil(&done);
  *cpu = ThreadCpuSeconds() - cpuBefore;
  *wakeups = loop->Backend().WakeCount() - before;
}

void BM_GuiIdleWakeupsPerSecond(benchmark::State& state) {
  Scene scene;
  if (!MakeScene(state.range(0) != 0, &scene)) {
    state.SkipWithError("no display for the SDL backend");
    return;
  }
  uint64_t wakeups = 0;
  double cpu = 0;
  for (auto _ : state)
    Serve(scene.loop.get(), 1000, &wakeups, &cpu);
  // The one wake-up of the timer that ends the measurement is the loop's only one.
  state.counters["wakeups_per_s"] = static_cast<double>(wakeups) - 1;
  state.counters["cpu_share"] = cpu;
  CloseScene(&scene);
}
BENCHMARK(BM_GuiIdleWakeupsPerSecond)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Reference: a loop that polls at 60 Hz whether or not anything changed.
void BM_ReferencePollingLoopWakeupsPerSecond(benchmark::State& state) {
  uint64_t wakeups = 0;
  for (auto _ : state) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::microseconds(16667));
      ++wakeups;
    }
  }
  state.counters["wakeups_per_s"] = static_cast<double>(wakeups);
}
BENCHMARK(BM_ReferencePollingLoopWakeupsPerSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GuiFullWindowTween60Fps(benchmark::State& state) {
  Scene scene;
  if (!MakeScene(state.range(0) != 0, &scene)) {
    state.SkipWithError("no display for the SDL backend");
    return;
  }
  uint64_t wakeups = 0;
  double cpu = 0;
  for (auto _ : state) {
    // The panel covering the whole host travels down and back: every frame repaints it all.
    TweenRecord down;
    down.to.words[1] = kHeight;
    down.mode = kTweenFromCurrent;
    TweenRecord up;
    up.mode = kTweenFromCurrent;
    scene.panel->Self()->PostCommand(kCmdLocation, 0, 1000, reinterpret_cast<uintptr_t>(&down),
                                     nullptr, 0, 0);
    scene.panel->Self()->PostCommand(kCmdLocation, 1000, 1000, reinterpret_cast<uintptr_t>(&up),
                                     nullptr, 0, 0);
    Serve(scene.loop.get(), 2000, &wakeups, &cpu);
  }
  state.counters["cpu_share_of_core"] = cpu / 2.0;
  state.counters["frames_per_s"] = scene.host->GetActualFps();
  CloseScene(&scene);
}
BENCHMARK(BM_GuiFullWindowTween60Fps)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Reference: only the pixels, 120 full fills of a 1024x768 surface (two seconds at 60 fps).
void BM_ReferenceFullSurfaceFill120Frames(benchmark::State& state) {
  RefPtr<MSurface> surface;
  gfx::CreateSurface(kWidth, kHeight, PixelFormat::kArgb32, &surface);
  RefPtr<MCanvas> canvas;
  gfx::CreateCanvas(surface.Get(), &canvas);
  double cpu = 0;
  for (auto _ : state) {
    const double before = ThreadCpuSeconds();
    for (int frame = 0; frame < 120; ++frame) {
      canvas->FillRect(RectF{0, 0, kWidth, kHeight}, 0xFF203040, 0xF, 256, false);
      canvas->FillRect(RectF{0, static_cast<double>(frame), kWidth, kHeight}, 0xFFC08020, 0xF, 256,
                       false);
    }
    cpu = ThreadCpuSeconds() - before;
  }
  state.counters["cpu_share_of_core"] = cpu / 2.0;
}
BENCHMARK(BM_ReferenceFullSurfaceFill120Frames)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vk2::gui
