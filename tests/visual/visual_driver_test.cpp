// The plug-in driver: the calls a first-generation plug-in sees and when, what it draws from the
// heard audio, the host information it reads, runtime visual modules, and the image's size.
#include <gtest/gtest.h>

#include <string>

#include "foundation/util/result.h"
#include "tests/visual/visual_test_support.h"

namespace vk2::test {
namespace {

constexpr char kRecorder[] = "g1_recorder.vvp";
constexpr char kPlain[] = "nested/g1_plain.vvp";

RefPtr<MVisual> Added(HostFixture& f, const char* file) {
  EXPECT_EQ(f.host->AddFile(Utf16(PluginPath(file))), kOk) << file;
  return f.ByName(Utf16(PluginPath(file)).c_str());
}

int32_t RenderInto(MVisual* visual, Target& target) {
  RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(visual->GetRenderer());
  if (!renderer) return kErrFailed;
  return renderer->Render(&target.view, 0, 0, target.view.width, target.view.height, nullptr, 0);
}

TEST(VisualDriver, CallSequenceOfAPluginWithHostFeatures) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, kRecorder);
  ASSERT_TRUE(visual);
  EXPECT_EQ(PluginLog(kRecorder), "query;") << "adding only asks for the record";
  ClearPluginLog(kRecorder);
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  // Initialised in its own folder; the host's current directory is back afterwards.
  EXPECT_EQ(PluginLog(kRecorder), "init cwd=" + PluginDir() + ";load vis.ini;hostinfo;");
  TString name;
  visual->GetName(&name);
  EXPECT_EQ(name, TString(u"Recorder")) << "named by the plug-in once initialised";
}

TEST(VisualDriver, TeardownSavesAndDeinitialisesBeforeUnloading) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, kRecorder);
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  ClearPluginLog(kRecorder);
  // Keep the file loaded past the teardown to read what it was told last.
  void* keep = dlopen(PluginPath(kRecorder).c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(keep, nullptr);
  visual = nullptr;
  f.host->PurgeUnused();
  EXPECT_EQ(PluginLog(kRecorder), "save vis.ini;deinit;");
  dlclose(keep);
}

TEST(VisualDriver, APluginWithoutHostFeaturesNeverGetsThem) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, kPlain);
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  void* keep = dlopen(PluginPath(kPlain).c_str(), RTLD_NOW | RTLD_NOLOAD);
  visual = nullptr;
  f.host->PurgeUnused();
  const std::string log = PluginLog(kPlain);
  EXPECT_EQ(log.find("hostinfo"), std::string::npos) << log;
  EXPECT_EQ(log.find("deinit"), std::string::npos) << log;
  EXPECT_NE(log.find("save vis.ini"), std::string::npos) << log;
  dlclose(keep);
}

TEST(VisualDriver, DrawsOnlyWhenNewAudioWasHeard) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, kRecorder);
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  for (int i = 0; i < 3; ++i)
    f.Feed(600);
  f.Hear(600);
  ClearPluginLog(kRecorder);
  Target target(6, 4);
  EXPECT_TRUE(visual->NeedsRedraw());
  EXPECT_EQ(RenderInto(visual.Get(), target), 1);
  // The plug-in saw the 512 frames before the heard position: the last is frame 599.
  EXPECT_EQ(PluginLog(kRecorder), "render 6x4/8;") << "rows padded to four pixels";
  EXPECT_EQ(target.At(0, 0), 0xFF100000u | static_cast<uint8_t>(599 % 100 + 1))
      << "the image is shown opaque";
  // Nothing new heard: no call, the same image again, no redraw wanted.
  EXPECT_FALSE(visual->NeedsRedraw());
  target.pixels.assign(target.pixels.size(), 0);
  EXPECT_EQ(RenderInto(visual.Get(), target), 1);
  EXPECT_EQ(PluginLog(kRecorder), "render 6x4/8;");
  EXPECT_NE(target.At(5, 3), 0u);
  // A window's worth later: drawn again.
  f.Hear(1200);
  EXPECT_TRUE(visual->NeedsRedraw());
  EXPECT_EQ(RenderInto(visual.Get(), target), 2);
}

TEST(VisualDriver, PositionAdvancesOnlyWithADeliveredRecord) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, kRecorder);
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  for (int i = 0; i < 8; ++i)
    f.Feed(200);
  Target target(4, 4);
  // Heard moves 100 bytes a frame, less than a window (512): the window is compared with the
  // position of the last delivered record, so a record comes once a window's worth was heard
  // (at 1200), instead of never.
  int32_t frames = 0;
  for (int32_t heard = 600; heard <= 1200; heard += 100) {
    f.Hear(heard);
    frames = RenderInto(visual.Get(), target);
  }
  EXPECT_EQ(frames, 2);
}

TEST(VisualDriver, ProbeReadsTheHostInformation) {
  HostFixture f;
  f.player->numbers["streamtime"] = 12.3456;
  f.player->numbers["totaltime"] = 200.0;
  f.player->strings["title"] = "Sample Title";
  RefPtr<MVisual> visual = Added(f, "g1_probe.vvp");
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  f.Feed(1000);
  f.Feed(10);
  f.Hear(1000);
  ClearPluginLog("g1_probe.vvp");
  Target target(4, 4);
  RenderInto(visual.Get(), target);
  EXPECT_EQ(PluginLog("g1_probe.vvp"),
            "render 4x4/4;position 1 12345;currentsongtitle=Sample Title;"
            "currentskinname=unknown;currentsonglength=200000;nosuchname=(null);");
}

TEST(VisualDriver, SizeChangesTakeEffectAtOnceFirstAndAfterTenFramesLater) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, kRecorder);
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  for (int i = 0; i < 20; ++i)
    f.Feed(600);
  Target small(4, 4);
  Target large(8, 8);
  int32_t heard = 0;
  auto frame = [&](Target& t) {
    f.Hear(heard += 600);
    ClearPluginLog(kRecorder);
    RenderInto(visual.Get(), t);
    return PluginLog(kRecorder);
  };
  EXPECT_EQ(frame(small), "render 4x4/4;");
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(frame(large), "render 4x4/4;") << "frame " << i << " of the new size";
  EXPECT_EQ(frame(large), "render 8x8/8;");
  // Until then the small image was scaled up to fill the target.
  EXPECT_NE(large.At(7, 7), 0u);
}

TEST(VisualDriver, RuntimeModuleAttachesDrawsAndStops) {
  HostFixture f;
  RefPtr<MVisual> visual = Added(f, "rt_module.vvp");
  ASSERT_TRUE(visual);
  EXPECT_FALSE(visual->Attach(f.player.Get(), 2)) << "a mode the module refuses";
  EXPECT_FALSE(visual->GetRenderer());
  ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
  TString name;
  visual->GetName(&name);
  EXPECT_EQ(name, TString(u"Runtime Test Visual"));
  Target target(4, 2);
  EXPECT_EQ(RenderInto(visual.Get(), target), 1);
  EXPECT_EQ(target.At(3, 1), 0xFF0000FFu);
  EXPECT_TRUE(visual->NeedsRedraw());
  auto log = LoadedSymbol<const char* (*)()>("rt_module.vvp", "RuntimeModuleLog");
  ASSERT_TRUE(log);
  EXPECT_EQ(std::string(log()), "host;accepts 2;accepts 1;renderer 1;host;start;draw;");
}

TEST(VisualDriver, PostEffectsRunOnlyOverVisualsThatAllowThem) {
  HostFixture f;
  RefPtr<MVisualPostEffect> effect;
  Guid classId{};
  {
    MVisualPostEffect* first = nullptr;
    f.host->NextPostEffect(&first, &classId);
    effect = RefPtr<MVisualPostEffect>::Adopt(first);
  }
  ASSERT_TRUE(effect);
  // Fade only, at full strength: every channel loses half.
  effect->SetInteger(u"smoke", 0);
  effect->SetNumber(u"fade", 0.0);
  effect->SetNumber(u"fade", 1.0 / 7.0 - 1e-9);  // strength int(6.0...) = 6
  const VisualPostEffectItem items[] = {{classId, effect.Get()}};
  for (const char* file : {kRecorder, kPlain}) {
    RefPtr<MVisual> visual = Added(f, file);
    ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode));
    f.Feed(2000);
    f.Hear(1500);
    Target target(4, 4);
    RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(visual->GetRenderer());
    renderer->Render(&target.view, 0, 0, 4, 4, items, 1);
    const uint32_t drawn = 0xFF100000u | static_cast<uint8_t>(1499 % 100 + 1);
    if (std::string(file) == kRecorder) {
      EXPECT_NE(target.At(0, 0), drawn) << "the recorder allows post effects";
    } else {
      EXPECT_EQ(target.At(0, 0), drawn) << "the plain plug-in does not";
    }
    f.host->Purge(1);
  }
}

}  // namespace
}  // namespace vk2::test
