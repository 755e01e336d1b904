// 24-bit WAVE through the chain on both devices: heard bit for bit as sox wrote it.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/audio/playback/device_chain_env.h"
#include "tests/audio/support/temp_file.h"
#include "tests/audio/support/tools.h"

namespace vk2::test {
namespace {

class WideSamplePlayback : public DeviceChainEnv, public ::testing::WithParamInterface<DeviceKind> {
 protected:
  void SetUp() override { SetUpChain(); }
  TempFolder folder_;
};

TEST_P(WideSamplePlayback, TwentyFourBitWaveIsHeardExactly) {
  const std::string wav = folder_.File("wide.wav");
  const std::string raw = folder_.File("wide.raw");
  ASSERT_TRUE(RunTool({"sox", "-n", "-r", "48000", "-c", "2", "-b", "24", wav, "synth", "1.0",
                       "sine", "300-3000", "vol", "0.7"}));
  // The reference samples, as an independent tool reads them.
  ASSERT_TRUE(RunTool({"sox", wav, "-t", "raw", "-e", "signed", "-b", "24", "-L", raw}));
  ASSERT_EQ(BuildOn(GetParam(), wav), 0);
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

INSTANTIATE_TEST_SUITE_P(BothDevices, WideSamplePlayback,
                         ::testing::Values(DeviceKind::kDirectSound, DeviceKind::kWaveOut),
                         [](const auto& info) { return std::string(DeviceName(info.param)); });

}  // namespace
}  // namespace vk2::test
