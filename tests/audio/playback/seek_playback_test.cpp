// A seek followed by play: the first sample heard is the one at the seek point, through every
// decoder on both devices, judged against decodes made by independent tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "platform/audio/sink/wav_file_writer.h"
#include "tests/audio/playback/device_chain_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr double kSeekSeconds = 1.7;
constexpr int64_t kSeekFrame = static_cast<int64_t>(kSeekSeconds * kRate);
// The span compared on each side of a landing: long enough that a sweep matches in one place.
constexpr int64_t kWindowFrames = 1024;
// How far after the landing a second window must still match: no gap right after the seek.
constexpr int64_t kLaterFrames = kRate / 4;

// One way of encoding the signal, its independent reference decode, and where a seek to
// kSeekFrame may land in that reference (frames, relative to kSeekFrame).
struct Codec {
  const char* name;
  std::function<std::string(const std::string& wav, const std::string& dir)> encode;
  std::function<std::vector<int16_t>(const std::string& file)> reference;
  int64_t earliest;
  int64_t latest;
};

std::vector<int16_t> Raw(const std::string& raw) {
  return ReadS16(raw);
}

std::vector<Codec> Codecs() {
  // MPEG decoders land on frame starts: within one frame of the seek point.
  constexpr int64_t kMpegFrame = 1152;
  const auto mpg123 = [](const std::string& file) {
    EXPECT_TRUE(RunTool({"mpg123", "-q", "--no-gapless", "-e", "s16", "-O", file + ".raw", file}));
    return Raw(file + ".raw");
  };
  const auto ffmpeg = [](const std::string& file) {
    EXPECT_TRUE(RunTool({"ffmpeg", "-loglevel", "error", "-y", "-i", file, "-f", "s16le", "-c:a",
                         "pcm_s16le", file + ".raw"}));
    return Raw(file + ".raw");
  };
  return {
      {"Pcm", [](const std::string& wav, const std::string&) { return wav; }, ffmpeg, 0, 0},
      // sox writes 2048-byte stereo blocks of 2041 frames; a seek lands on a block start.
      {"ImaAdpcm",
       [](const std::string& wav, const std::string& dir) {
         const std::string out = dir + "/adpcm.wav";
         EXPECT_TRUE(RunTool({"sox", wav, "-e", "ima-adpcm", out}));
         return out;
       },
       ffmpeg, -2040, 0},
      {"OggVorbis",
       [](const std::string& wav, const std::string& dir) {
         const std::string out = dir + "/signal.ogg";
         EXPECT_TRUE(RunTool({"oggenc", "-Q", "-q", "6", "-o", out, wav}));
         return out;
       },
       [](const std::string& file) {
         EXPECT_TRUE(RunTool(
             {"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", file + ".raw", file}));
         return Raw(file + ".raw");
       },
       0, 0},
      {"Mp3",
       [](const std::string& wav, const std::string& dir) {
         const std::string out = dir + "/signal.mp3";
         EXPECT_TRUE(RunTool({"lame", "--quiet", "-b", "192", wav, out}));
         return out;
       },
       mpg123, -kMpegFrame, kMpegFrame},
      {"LayerII",
       [](const std::string& wav, const std::string& dir) {
         const std::string out = dir + "/signal.mp2";
         EXPECT_TRUE(RunTool({"twolame", "--quiet", "-b", "192", wav, out}));
         return out;
       },
       mpg123, -kMpegFrame, kMpegFrame},
  };
}

// Normalised correlation of channel 0 of `heard` from `heardFrame` with `ref` from `refFrame`.
double Correlation(const std::vector<int16_t>& heard, int64_t heardFrame,
                   const std::vector<int16_t>& ref, int64_t refFrame, int64_t frames) {
  const auto heardFrames = static_cast<int64_t>(heard.size() / kChannels);
  const auto refFrames = static_cast<int64_t>(ref.size() / kChannels);
  if (heardFrame < 0 || refFrame < 0 || heardFrame + frames > heardFrames ||
      refFrame + frames > refFrames) {
    return 0.0;
  }
  const int16_t* a = heard.data() + heardFrame * kChannels;
  const int16_t* b = ref.data() + refFrame * kChannels;
  double ab = 0, aa = 0, bb = 0;
  for (int64_t i = 0; i < frames * kChannels; i += kChannels) {
    const double x = a[i];
    const double y = b[i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// The frame of `ref` that `heard` from `heardFrame` matches best, searched from `lo` to `hi`.
int64_t BestMatch(const std::vector<int16_t>& heard, int64_t heardFrame,
                  const std::vector<int16_t>& ref, int64_t lo, int64_t hi) {
  int64_t best = -1;
  double bestCorrelation = -2;
  for (int64_t f = std::max<int64_t>(lo, 0); f <= hi; ++f) {
    const double c = Correlation(heard, heardFrame, ref, f, kWindowFrames);
    if (c > bestCorrelation) {
      bestCorrelation = c;
      best = f;
    }
  }
  return best;
}

// How playback reaches the seek: cued and never heard, or paused part-way.
enum class Before { kCued, kPausedMidway };

using Case = std::tuple<DeviceKind, size_t, Before>;

class SeekPlayback : public DeviceChainEnv, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    SetUpChain();
    signal_ = MakeSignal(3 * kRate, kChannels, kRate, 0.5);
    wav_ = folder_.File("signal.wav");
    WavFileWriter writer;
    ASSERT_TRUE(writer.Start(wav_, {kRate, kChannels, 16, false}));
    ASSERT_TRUE(writer.Append(signal_.data(), signal_.size() * 2));
    ASSERT_TRUE(writer.Finish());
  }
  int64_t HeardFrames() {
    return static_cast<int64_t>(sinks->HeardBytes().size() / (2 * kChannels));
  }

  TempFolder folder_;
  std::string wav_;
  std::vector<int16_t> signal_;
};

TEST_P(SeekPlayback, TheFirstSampleHeardIsTheOneAtTheSeekPoint) {
  const auto [device, codecIndex, before] = GetParam();
  const Codec codec = Codecs()[codecIndex];
  const std::string file = codec.encode(wav_, folder_.Path());
  const std::vector<int16_t> ref = codec.reference(file);
  ASSERT_GT(ref.size(), size_t{3} * kRate);

  ASSERT_EQ(BuildOn(device, file), 0);
  if (before == Before::kCued) {
    ASSERT_EQ(chain->WaitForBuffer(0.75), 0);
  } else {
    ASSERT_EQ(chain->Play(0.75), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (HeardFrames() < kRate / 2 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(chain->StateChange(kChainCued), 0);
  }
  // Nothing is heard while cued or paused: everything from here on follows the seek.
  const int64_t seekedAt = HeardFrames();
  ASSERT_EQ(chain->Seek(kSeekSeconds, 0, 1), 0);
  ASSERT_EQ(chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 1, 30000));
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
  const std::vector<int16_t> heard = ToS16(sinks->HeardBytes());

  // Where the first frame heard after the seek lies in the reference.
  const int64_t landed = BestMatch(heard, seekedAt, ref, kSeekFrame + codec.earliest - 8,
                                   kSeekFrame + codec.latest + 8);
  const double first = Correlation(heard, seekedAt, ref, landed, kWindowFrames);
  if (first < 0.99 || landed < kSeekFrame + codec.earliest || landed > kSeekFrame + codec.latest) {
    // Found nowhere near: say where it came from.
    const int64_t anywhere = BestMatch(heard, seekedAt, ref, 0, 3 * kRate - kWindowFrames);
    ADD_FAILURE() << "the first sample heard is reference frame " << anywhere << " ("
                  << (anywhere - kSeekFrame) << " from the seek point; correlation "
                  << Correlation(heard, seekedAt, ref, anywhere, kWindowFrames) << ")";
    return;
  }
  // And the audio goes on from there without a gap.
  EXPECT_GT(Correlation(heard, seekedAt + kLaterFrames, ref, landed + kLaterFrames, kWindowFrames),
            0.99);
  // To the end of the stream: all of the rest was heard, and after it only the silence a device
  // plays while its drain notices the end (longer on a busy machine), never more audio.
  const int64_t rest = static_cast<int64_t>(ref.size() / kChannels) - landed;
  const int64_t heardAfter = static_cast<int64_t>(heard.size() / kChannels) - seekedAt;
  EXPECT_GE(heardAfter, rest - 2304);
  const int64_t audioEnd = std::min(seekedAt + rest + 2304, seekedAt + heardAfter);
  EXPECT_TRUE(std::all_of(heard.begin() + audioEnd * kChannels, heard.end(),
                          [](int16_t v) { return v == 0; }));
}

INSTANTIATE_TEST_SUITE_P(
    EveryDecoderOnBothDevices, SeekPlayback,
    ::testing::Combine(::testing::Values(DeviceKind::kDirectSound, DeviceKind::kWaveOut),
                       ::testing::Range<size_t>(0, 5),
                       ::testing::Values(Before::kCued, Before::kPausedMidway)),
    [](const ::testing::TestParamInfo<Case>& info) {
      return std::string(DeviceName(std::get<0>(info.param))) + "_" +
             Codecs()[std::get<1>(info.param)].name + "_" +
             (std::get<2>(info.param) == Before::kCued ? "Cued" : "PausedMidway");
    });

}  // namespace
}  // namespace vk2::test
