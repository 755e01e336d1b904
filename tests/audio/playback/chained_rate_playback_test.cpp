// A chained Ogg Vorbis stream whose links differ in rate, through the chain on both devices:
// each link is heard whole, at its own rate, as oggdec decodes it on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "tests/audio/playback/device_chain_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

struct Link {
  uint32_t rate;
  const char* sweep;
};

// Normalised correlation of all of `ref` with `heard` from frame `at` (both stereo).
double Correlation(const std::vector<int16_t>& heard, size_t at, const std::vector<int16_t>& ref) {
  if ((at * 2 + ref.size()) > heard.size()) return 0.0;
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < ref.size(); ++i) {
    const double x = heard[at * 2 + i];
    const double y = ref[i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

class ChainedRatePlayback : public DeviceChainEnv,
                            public ::testing::WithParamInterface<DeviceKind> {
 protected:
  void SetUp() override { SetUpChain(); }
  TempFolder folder_;
};

TEST_P(ChainedRatePlayback, EveryLinkIsHeardWholeAtItsRate) {
  // Links longer than the device buffer, so that each change comes while the device plays.
  const std::vector<Link> links = {{44100, "200-2000"}, {22050, "3000-300"}, {48000, "500-5000"}};
  const std::string chained = folder_.File("chained.ogg");
  std::vector<std::vector<int16_t>> refs;
  {
    std::ofstream out(chained, std::ios::binary);
    for (size_t i = 0; i < links.size(); ++i) {
      const std::string wav = folder_.File("link" + std::to_string(i) + ".wav");
      const std::string ogg = folder_.File("link" + std::to_string(i) + ".ogg");
      ASSERT_TRUE(RunTool({"sox", "-n", "-r", std::to_string(links[i].rate), "-c", "2", "-b", "16",
                           wav, "synth", "1.5", "sine", links[i].sweep, "vol", "0.6"}));
      ASSERT_TRUE(RunTool({"oggenc", "-Q", "-q", "6", "-o", ogg, wav}));
      ASSERT_TRUE(RunTool(
          {"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", ogg + ".raw", ogg}));
      refs.push_back(ReadS16(ogg + ".raw"));
      ASSERT_GT(refs.back().size(), size_t{links[i].rate});
      const std::vector<uint8_t> bytes = ReadFile(ogg);
      out.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
  }
  ASSERT_EQ(BuildOn(GetParam(), chained), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 1, 30000));
  EXPECT_EQ(events.Count(kEventFormatRefused), 0);
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);

  const std::vector<HeardPiece> pieces = sinks->Pieces();
  ASSERT_EQ(pieces.size(), links.size());
  for (size_t i = 0; i < links.size(); ++i) {
    SCOPED_TRACE("link " + std::to_string(i));
    EXPECT_EQ(pieces[i].format.sampleRate, links[i].rate);
    const std::vector<int16_t> heard = ToS16(pieces[i].bytes);
    // From its first frame to its last, in place: nothing lost at the change, nothing inserted.
    EXPECT_GT(Correlation(heard, 0, refs[i]), 0.999);
    // After it, at most the silence a device pads with.
    const size_t rest = heard.size() >= refs[i].size() ? heard.size() - refs[i].size() : 0;
    EXPECT_TRUE(std::all_of(heard.end() - static_cast<std::ptrdiff_t>(rest), heard.end(),
                            [](int16_t v) { return v == 0; }));
  }
}

INSTANTIATE_TEST_SUITE_P(BothDevices, ChainedRatePlayback,
                         ::testing::Values(DeviceKind::kDirectSound, DeviceKind::kWaveOut),
                         [](const auto& info) { return std::string(DeviceName(info.param)); });

}  // namespace
}  // namespace vk2::test
