// 24-bit WAVE through the chain: the DirectSound device plays it bit for bit as sox wrote it; the
// waveOut device takes 8- and 16-bit PCM only and refuses it cleanly.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/common/media_errors.h"
#include "tests/audio/playback/device_chain_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

class WideSamplePlayback : public DeviceChainEnv {
 protected:
  void SetUp() override {
    SetUpChain();
    ASSERT_TRUE(RunTool({"sox", "-n", "-r", "48000", "-c", "2", "-b", "24", wav_, "synth", "1.0",
                         "sine", "300-3000", "vol", "0.7"}));
  }
  TempFolder folder_;
  const std::string wav_ = folder_.File("wide.wav");
};

TEST_F(WideSamplePlayback, TwentyFourBitWaveIsHeardExactlyOnDirectSound) {
  const std::string raw = folder_.File("wide.raw");
  // The reference samples, as an independent tool reads them.
  ASSERT_TRUE(RunTool({"sox", wav_, "-t", "raw", "-e", "signed", "-b", "24", "-L", raw}));
  ASSERT_EQ(BuildOn(DeviceKind::kDirectSound, wav_), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 1, 30000));
  EXPECT_EQ(events.Count(kEventFormatRefused), 0);
  const std::vector<HeardPiece> pieces = sinks->Pieces();
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].format.bitsPerSample, 24u);
  const std::vector<uint8_t> expected = ReadFile(raw);
  // Everything, in order, at its level; a device may pad the end with silence.
  const std::vector<uint8_t>& heard = pieces[0].bytes;
  ASSERT_GE(heard.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
  EXPECT_TRUE(std::all_of(heard.begin() + static_cast<std::ptrdiff_t>(expected.size()), heard.end(),
                          [](uint8_t b) { return b == 0; }));
}

TEST_F(WideSamplePlayback, TwentyFourBitWaveIsRefusedOnWaveOut) {
  // The chain is not built, with an error that names the cause; nothing reaches the sound layer.
  EXPECT_EQ(BuildOn(DeviceKind::kWaveOut, wav_), MediaError(kMsEndpointRefusesFormat));
  EXPECT_TRUE(sinks->Pieces().empty());
  EXPECT_TRUE(sinks->HeardBytes().empty());
}

}  // namespace
}  // namespace vk2::test
