// Plug-ins that fault: the fault is caught, reported, the plug-in is not called again and its
// entry leaves the list, while the rest of the host (and the audio) goes on.
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "foundation/util/result.h"
#include "tests/visual/visual_test_support.h"
#include "visual/plugin/crash_guard.h"
#include "visual/plugin/crash_report.h"

namespace vk2::test {
namespace {

constexpr char kCrasher[] = "crash/g1_crash.vvp";
enum { kInInitialize = 1, kSegvInRender = 2, kFpeInRender = 3 };

class Reports {
 public:
  Reports() {
    previous_ =
        SetCrashObserver([this](const TString& text) { texts.push_back(Utf8(text).c_str()); });
  }
  ~Reports() { SetCrashObserver(previous_); }
  std::vector<std::string> texts;

 private:
  CrashObserver previous_;
};

TEST(VisualCrashGuard, CatchesSignalsAndExceptionsAndNests) {
  struct Case {
    const char* name;
    void (*body)();
    GuardOutcome outcome;
    int signal;
  };
  const Case cases[] = {
      {"returns", [] {}, GuardOutcome::kReturned, 0},
      {"bus error", [] { std::raise(SIGBUS); }, GuardOutcome::kCrashed, SIGBUS},
      {"illegal instruction", [] { std::raise(SIGILL); }, GuardOutcome::kCrashed, SIGILL},
      {"throws", [] { throw std::runtime_error("x"); }, GuardOutcome::kThrew, 0},
  };
  for (const Case& c : cases) {
    const GuardResult r = Guarded([&] { c.body(); });
    EXPECT_EQ(r.outcome, c.outcome) << c.name;
    EXPECT_EQ(r.signal, c.signal) << c.name;
  }
  // A fault in an inner guarded call ends only the inner one.
  bool outerWentOn = false;
  const GuardResult outer = Guarded([&] {
    const GuardResult inner = Guarded([] { std::raise(SIGSEGV); });
    outerWentOn = inner.outcome == GuardOutcome::kCrashed;
  });
  EXPECT_EQ(outer.outcome, GuardOutcome::kReturned);
  EXPECT_TRUE(outerWentOn);
  // Every thread has a guard of its own.
  GuardResult onThread;
  std::thread([&] { onThread = Guarded([] { std::raise(SIGFPE); }); }).join();
  EXPECT_EQ(onThread.signal, SIGFPE);
}

RefPtr<MVisual> AttachedCrasher(HostFixture& f, int crashAt) {
  EXPECT_EQ(f.host->AddFile(Utf16(PluginPath(kCrasher))), kOk);
  auto crashAtFn = LoadedSymbol<void (*)(int)>(kCrasher, "CrashAt");
  EXPECT_TRUE(crashAtFn);
  if (crashAtFn) crashAtFn(crashAt);
  RefPtr<MVisual> visual = f.ByName(Utf16(PluginPath(kCrasher)).c_str());
  EXPECT_TRUE(visual);
  if (visual) visual->Attach(f.player.Get(), kVisualDrawMode);
  return visual;
}

TEST(VisualCrash, AFaultInRenderIsReportedAndThePluginIsNotCalledAgain) {
  for (const int where : {kSegvInRender, kFpeInRender}) {
    HostFixture f;
    Reports reports;
    RefPtr<MVisual> visual = AttachedCrasher(f, where);
    ASSERT_TRUE(visual);
    const uint32_t id = visual->GetId();
    for (int i = 0; i < 4; ++i)
      f.Feed(600);
    f.Hear(600);
    Target target(4, 4);
    RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(visual->GetRenderer());
    ASSERT_TRUE(renderer);
    EXPECT_EQ(renderer->Render(&target.view, 0, 0, 4, 4, nullptr, 0), 1);
    ASSERT_EQ(reports.texts.size(), 1u) << where;
    EXPECT_EQ(reports.texts[0], "Visual '" + PluginPath(kCrasher) + "' crashed! (in render)");
    // What it drew before faulting is still shown.
    EXPECT_EQ(target.At(0, 0), 0xFFFF0000u);
    // Never called again; gone from the list for everyone else.
    f.Hear(1200);
    EXPECT_FALSE(visual->NeedsRedraw());
    renderer->Render(&target.view, 0, 0, 4, 4, nullptr, 0);
    auto renders = LoadedSymbol<int (*)()>(kCrasher, "RenderCount");
    ASSERT_TRUE(renders);
    EXPECT_EQ(renders(), 1);
    EXPECT_FALSE(f.ById(id));
    EXPECT_EQ(reports.texts.size(), 1u);
    // The history (what the audio side writes) works on.
    f.Feed(600);
    VisualAudioRecord record;
    MVisualAudioHistory* history = nullptr;
    f.host->GetAudioHistory(&history);
    EXPECT_EQ(history->Fetch(HostFixture::kChain, 0, 1800, 0, &record), 1);
    renderer = nullptr;
    visual = nullptr;
    EXPECT_EQ(f.host->GetCount(), 0u) << "taken out when its last handle went";
  }
}

TEST(VisualCrash, AFaultInInitializeIsReportedAndAnotherVisualStillRenders) {
  HostFixture f;
  Reports reports;
  RefPtr<MVisual> visual = AttachedCrasher(f, kInInitialize);
  ASSERT_EQ(reports.texts.size(), 1u);
  EXPECT_EQ(reports.texts[0], "Visual '" + PluginPath(kCrasher) + "' crashed! (in initialize)");
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
  RefPtr<MVisual> other = f.ByName(Utf16(PluginPath("g1_recorder.vvp")).c_str());
  ASSERT_TRUE(other);
  ASSERT_TRUE(other->Attach(f.player.Get(), kVisualDrawMode));
  for (int i = 0; i < 3; ++i)
    f.Feed(600);
  f.Hear(600);
  Target target(4, 4);
  RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(other->GetRenderer());
  EXPECT_EQ(renderer->Render(&target.view, 0, 0, 4, 4, nullptr, 0), 1);
}

TEST(VisualCrash, AnExceptionFromARuntimeModuleIsCaught) {
  HostFixture f;
  Reports reports;
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("rt_module.vvp"))), kOk);
  auto throwOnDraw = LoadedSymbol<void (*)(int)>("rt_module.vvp", "ThrowOnDraw");
  ASSERT_TRUE(throwOnDraw);
  throwOnDraw(1);
  RefPtr<MVisual> visual = f.ById(f.host->GetNextId(0));
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  Target target(4, 4);
  RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(visual->GetRenderer());
  renderer->Render(&target.view, 0, 0, 4, 4, nullptr, 0);
  throwOnDraw(0);
  ASSERT_EQ(reports.texts.size(), 1u);
  EXPECT_EQ(reports.texts[0], "Visual '" + PluginPath("rt_module.vvp") + "' crashed! (in render)");
}

}  // namespace
}  // namespace vk2::test
