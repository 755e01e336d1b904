// The media core as the user interface drives it, through the runtime and class ids only: the
// media core, a player "default" and a playlist "default" of a WAVE, an Ogg Vorbis and an MP3
// file, played through the real audio engine into a PulseAudio null sink of the test's own.
// Each file is a tone of its own pitch, so the sink's monitor shows which file was heard when.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "interfaces/core/core.h"
#include "interfaces/core/playlist_loader.h"
#include "interfaces/ids.h"
#include "platform/audio/sink/pcm_sink.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/core/e2e/pulse_server_pin.h"
#include "tests/core/e2e/tone_runs.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRate = 48000;
constexpr uint32_t kChannels = 2;
// The files in listing order, and the pitch of each.
constexpr double kWavHz = 440, kOggHz = 660, kMp3Hz = 880;
constexpr double kSeconds = 2.0;

// Player events as the core's listeners hear them.
class EventLog final : public MCoreListener {
 public:
  void OnCoreEvent(int32_t code, const TString&, MPlayer*) override {
    std::lock_guard lock(mutex_);
    codes_.push_back(code);
    changed_.notify_all();
  }
  bool WaitFor(int32_t code, size_t count, uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      return static_cast<size_t>(std::count(codes_.begin(), codes_.end(), code)) >= count;
    });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int32_t> codes_;
};

class CorePlaybackE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PulseServerAnswers(2000))
        << "no PulseAudio server (scripts/start-test-services.sh)";
    for (const char* tool : {"parec", "sox", "oggenc", "lame"})
      ASSERT_TRUE(HaveTool(tool)) << tool;
    ASSERT_TRUE(nullSink_.Loaded()) << nullSink_.Error();
    MakeFiles();
    ASSERT_TRUE(LoadRuntime());
    core_ = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
    ASSERT_TRUE(core_);
    ASSERT_EQ(core_->AddRemoveListener(&events_, 1), 0);
    MPlayerManager* players = core_->GetPlayerManager();
    MPlaylistManager* playlists = core_->GetPlaylistManager();
    ASSERT_EQ(players->AddRemove(u"default", 1), 0);
    ASSERT_EQ(playlists->AddRemove(u"default", 1), 0);
    ASSERT_EQ(players->Find(u"default", &player_), 0);
    ASSERT_EQ(playlists->Find(u"default", &playlist_), 0);
    auto loader = CreateRuntimeObject<MGenericLoader>(kMediaCoreClass, kIID_GenericLoader);
    ASSERT_TRUE(loader);
    ASSERT_EQ(loader->AddToNamedPlaylist(u"default", Utf16(files_.Path()), nullptr), 3);
    ASSERT_EQ(player_->SetPlaylist(playlist_.Get()), 0);
  }
  void TearDown() override {
    if (core_) {
      core_->AddRemoveListener(&events_, 0);
      player_ = nullptr;
      playlist_ = nullptr;
      core_->RemoveAllObjects();
      core_ = nullptr;
    }
    UnloadRuntime();
  }

  void MakeFiles() {
    const std::string wav = files_ / "1-tone.wav";
    auto tone = [&](double hz, const std::string& path) {
      return RunTool({"sox", "-n", "-r", std::to_string(kRate), "-c", "2", "-b", "16", path,
                      "synth", std::to_string(kSeconds), "sine", std::to_string(int(hz)), "vol",
                      "0.5"});
    };
    ASSERT_TRUE(tone(kWavHz, wav));
    const std::string forOgg = scratch_ / "ogg.wav", forMp3 = scratch_ / "mp3.wav";
    ASSERT_TRUE(tone(kOggHz, forOgg));
    ASSERT_TRUE(tone(kMp3Hz, forMp3));
    ASSERT_TRUE(RunTool({"oggenc", "-Q", "-q", "6", "-o", files_ / "2-tone.ogg", forOgg}));
    ASSERT_TRUE(RunTool({"lame", "--quiet", "-b", "192", forMp3, files_ / "3-tone.mp3"}));
  }

  PulseServerPin pin_;
  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_CORE_SO, VK2_TEST_AUDIOSYS_SO,
                          VK2_TEST_GENERICOUT_SO, VK2_TEST_IO_SO, VK2_TEST_WAVE_SO, VK2_TEST_OGG_SO,
                          VK2_TEST_MP3_SO, VK2_TEST_DSOUND_SO, VK2_TEST_WAVEOUT_SO}};
  PrivateNullSink nullSink_{kRate};
  TempFolder files_, scratch_;
  EventLog events_;
  RefPtr<MCore> core_;
  RefPtr<MPlayer> player_;
  RefPtr<MPlaylist> playlist_;
};

TEST_F(CorePlaybackE2eTest, ThePlaylistPlaysInOrder) {
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(nullSink_.Name(), kRate, kChannels));
  ASSERT_EQ(player_->Play(0), 0);
  ASSERT_TRUE(events_.WaitFor(kPlayerSongStarted, 3, 20000));
  std::this_thread::sleep_for(std::chrono::milliseconds(int(kSeconds * 1000) + 500));
  const std::vector<ToneRun> runs =
      FindToneRuns(recorder.Stop(), kRate, kChannels, {kWavHz, kOggHz, kMp3Hz});
  ASSERT_EQ(runs.size(), 3u) << DescribeRuns(runs);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(runs[i].tone, i) << DescribeRuns(runs);
    EXPECT_NEAR(runs[i].seconds, kSeconds, 0.25) << DescribeRuns(runs);
  }
}

TEST_F(CorePlaybackE2eTest, NextPreviousAndSeekLandWhereTheyShould) {
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(nullSink_.Name(), kRate, kChannels));
  ASSERT_EQ(player_->Play(0), 0);
  ASSERT_TRUE(events_.WaitFor(kPlayerSongStarted, 1, 10000));
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_EQ(player_->Next(0), 0);  // the Ogg file
  ASSERT_TRUE(events_.WaitFor(kPlayerSongStarted, 2, 10000));
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_EQ(player_->Previous(0), 0);  // the WAVE file again, from its start
  ASSERT_TRUE(events_.WaitFor(kPlayerSongStarted, 3, 10000));
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  // The MP3 file, 1.5 s in: half a second of it is left.
  ASSERT_EQ(player_->SeekToIndex(2, 1.5, 1, 1, 0), 0);
  ASSERT_TRUE(events_.WaitFor(kPlayerSongStarted, 4, 10000));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const std::vector<ToneRun> runs =
      FindToneRuns(recorder.Stop(), kRate, kChannels, {kWavHz, kOggHz, kMp3Hz});
  ASSERT_EQ(runs.size(), 4u) << DescribeRuns(runs);
  const size_t order[] = {0, 1, 0, 2};
  for (size_t i = 0; i < 4; ++i)
    EXPECT_EQ(runs[i].tone, order[i]) << DescribeRuns(runs);
  // Each heard for a while but not to its end (how long depends on the device's buffering).
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_GT(runs[i].seconds, 0.3) << DescribeRuns(runs);
    EXPECT_LT(runs[i].seconds, kSeconds - 0.2) << DescribeRuns(runs);
  }
  EXPECT_NEAR(runs[3].seconds, kSeconds - 1.5, 0.15) << DescribeRuns(runs);
}

}  // namespace
}  // namespace vk2::test
