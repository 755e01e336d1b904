// The idle scan with the module's own media system over real scan chains, built from the
// engine's fixture readers and decoders: durations come from the streams themselves.
#include <gtest/gtest.h>

#include <thread>

#include "playlist_support.h"
#include "tests/audio/engine/engine_env.h"

namespace vk2::test {
namespace {

using namespace std::chrono_literals;

class IdleScanChainsTest : public EngineEnv {
 protected:
  void SetUp() override {
    AddReader("reader");
    // Streams behind this reader cost too much to open just to learn about them.
    costly_ = AddReader("costly reader");
    costly_->prefix = u"far://";
    costly_->cost = 1000;
    AddDecoder("decoder");
    AddDevice(device_);
  }
  void AddSignal(const char16_t* name, double seconds) {
    SignalSpec spec;
    spec.sampleRate = 44100;
    spec.frames = static_cast<uint32_t>(seconds * spec.sampleRate);
    spec.seed = ++seed_;
    AddStream(name, SignalFile(spec));
  }

  std::shared_ptr<ReaderConfig> costly_;
  std::shared_ptr<CaptureState> device_ = std::make_shared<CaptureState>();
  FakeClock clock_;
  uint32_t seed_ = 0;
};

TEST_F(IdleScanChainsTest, FillsDurationsFromScanChainsAndMarksWhatCannotBeRead) {
  AddSignal(u"long.sig", 1.5);
  AddSignal(u"short.sig", 0.25);
  // The default media systems; failures are read through the test's error registry.
  PlaylistSettings settings;
  settings.errors = RefPtr<MErrorRegistry>(registry.Errors());
  RefPtr<PlaylistControl> playlist = MakePlaylist(clock_, std::move(settings));
  ItemInfo items[] = {Item(u"signal://long.sig"), Item(u"signal://short.sig"),
                      Item(u"signal://absent.sig"), Item(u"far://long.sig")};
  TArray<uint32_t> ids;
  ASSERT_EQ(playlist->AddItems(items, 4, kPlaylistBottom, &ids), 0);
  ASSERT_EQ(playlist->StartIdleScan(), 0);
  for (int i = 0; i < 2000 && playlist->CurrentlyIdleScanning(); ++i)
    std::this_thread::sleep_for(5ms);
  ASSERT_EQ(playlist->CurrentlyIdleScanning(), 0) << "the pass did not end";

  struct Expect {
    uint32_t id;
    double seconds;  // the duration found; < 0: none
    uint32_t scan;   // kScanNone: a basic or complete scan
  };
  for (const Expect& e :
       {Expect{ids[0], 1.5, kScanNone}, Expect{ids[1], 0.25, kScanNone},
        Expect{ids[2], -1, kScanUnreadable}, Expect{ids[3], -1, kScanInadvisable}}) {
    ItemInfo info;
    ASSERT_EQ(playlist->GetUIDInfo(e.id, &info), 0);
    ASSERT_TRUE(info.Has(kScanPresent)) << e.id;
    if (e.scan != kScanNone) {
      EXPECT_EQ(info.GetScan(), e.scan) << e.id;
      EXPECT_FALSE(info.Has(kDurationPresent));
      continue;
    }
    EXPECT_NE(info.GetScan(), kScanUnreadable);
    ASSERT_TRUE(info.Has(kDurationPresent));
    EXPECT_NEAR(info.duration, e.seconds, 0.001);
  }
  playlist->Shutdown();
}

}  // namespace
}  // namespace vk2::test
