// An MP3 decoded by the decoder module from the file reader and played into the PulseAudio null
// sink is found whole, at its level, in the sink's monitor.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "audio/readers/file/file_reader.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "platform/audio/sink/pulse_sink.h"
#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"
#include "tests/fixtures/audio/test_registry.h"
#include "tests/support/audio_compare.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"

namespace vk2 {
namespace {

constexpr PcmFormat kFormat{48000, 2, 16, false};

// The whole file as the module's 16-bit packets give it.
std::vector<int16_t> DecodeThroughModule(test::TestRegistry& registry, const std::string& path) {
  std::vector<int16_t> pcm;
  RefPtr<MMediaChain> chain = RefPtr<MMediaChain>::Adopt(registry.System()->CreateChain());
  if (!chain) return pcm;
  chain->AbortEvent()->Reset();
  RefPtr<FileReader> reader(new FileReader());
  RefPtr<MpegDecoder> decoder(new MpegDecoder());
  AudioModuleOutput* bytes = nullptr;
  AudioModuleInput* in = nullptr;
  AudioModuleOutput* out = nullptr;
  reader->GetOutput(&bytes, 0);
  decoder->GetInput(&in, 0);
  decoder->GetOutput(&out, 0);
  EXPECT_EQ(reader->Open(Utf16("file://" + path).c_str()), 0);
  reader->SetChain(chain.Get());
  decoder->SetChain(chain.Get());
  EXPECT_EQ(in->Connect(bytes), 0);
  reader->StateChange(kChainPlaying);
  decoder->StateChange(kChainPlaying);
  AudioFormatList formats;
  EXPECT_EQ(out->GetFormats(&formats), 0);
  if (formats.Count() > 0) out->SetFormat(formats.At(0));
  for (int guard = 0; guard < 100000; ++guard) {
    AudioPacket* raw = nullptr;
    const int32_t r = out->GetPacket(&raw);
    RefPtr<AudioPacket> p = RefPtr<AudioPacket>::Adopt(raw);
    if (r < 0 || !p) break;
    const auto* s = reinterpret_cast<const int16_t*>(p->data);
    pcm.insert(pcm.end(), s, s + p->byteCount / 2);
    if (p->flags & kPacketLast) break;
  }
  decoder->StateChange(kChainStopped);
  reader->StateChange(kChainStopped);
  decoder->SetChain(nullptr);
  reader->SetChain(nullptr);
  return pcm;
}

TEST(Mp3PlaybackE2eTest, DecodedMp3ReachesTheNullSinkWhole) {
  if (!PulseServerAnswers(2000)) GTEST_SKIP() << "no PulseAudio server";
  if (!test::HaveTool("parec")) GTEST_SKIP() << "parec not installed";
  test::PrivateNullSink nullSink;
  ASSERT_TRUE(nullSink.Loaded()) << nullSink.Error();
  const std::string path = mpegtest::Encode("e2e_48k.mp3", "lame --quiet -b 192 %in %out",
                                            mpegtest::SignalWav(48000, 2, 1.5));
  ASSERT_FALSE(path.empty());
  test::TestRegistry registry;
  const std::vector<int16_t> decoded = DecodeThroughModule(registry, path);
  ASSERT_GT(decoded.size(), 48000u * 2);

  PulseSink sink;
  ASSERT_TRUE(sink.Open("", kFormat, 100)) << sink.LastError();
  test::MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink.ConnectedSinkName(), kFormat.sampleRate, 2));
  const std::vector<uint8_t> bytes = test::FromS16(decoded);
  size_t done = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
    sink.WaitWritable(100);
    const int64_t n = sink.Write(bytes.data() + done, bytes.size() - done);
    ASSERT_GE(n, 0) << sink.LastError();
    done += static_cast<size_t>(n);
  }
  ASSERT_EQ(done, bytes.size());
  ASSERT_TRUE(sink.Drain(5000)) << sink.LastError();
  const std::vector<int16_t> heard = recorder.Stop();

  const int64_t from = 9600;  // past the encoder's leading delay
  for (uint32_t channel : {0u, 1u}) {
    const test::Match m = test::FindSignal(heard, decoded, 2, channel, from, 4800);
    EXPECT_GT(m.correlation, 0.999) << "channel " << channel;
    ASSERT_GE(m.frame + from, 0);
    EXPECT_NEAR(test::EnergyRatioDb(heard, m.frame + from, decoded, from, 2), 0.0, 0.2);
  }
}

}  // namespace
}  // namespace vk2
