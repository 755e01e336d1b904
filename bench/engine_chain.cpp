// The engine's own cost per second of audio, against a decoder's. The engine side: a source of
// ready PCM packets, two pass-through filters and the generic endpoint, whose playback thread
// pulls every packet and writes it to a device that plays instantly (so nothing but the engine
// is measured). The reference: Ogg Vorbis decoding of the same audio (libvorbisfile), one of the
// decoders the chain carries in front of the endpoint. Both report audio seconds handled per
// second; "engine_share" is the engine's time as a fraction of the decoder's.
#include <benchmark/benchmark.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/common/format_record.h"
#include "audio/engine/audiosys/audio_system.h"
#include "audio/engine/genericout/generic_output.h"
#include "component/object/com_object.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/ids.h"
#include "tests/fixtures/audio/fixture_modules.h"
#include "tests/fixtures/audio/recording_callback.h"
#include "tests/fixtures/audio/signal.h"
#include "tests/fixtures/audio/test_registry.h"

namespace vk2 {
namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr uint32_t kFramesPerPacket = 1152;  // an MPEG frame's worth
constexpr double kSeconds = 20.0;

// Ready PCM, copied into pool packets: a source that costs next to nothing.
class FastSource final : public ComObject<FastSource, SilentFace<MAudioModule>>,
                         public AudioModuleOutput {
 public:
  FastSource(MPacketPool* pool, uint64_t frames)
      : pool_(pool), frames_(frames), format_(MakePcmFormat(kRate, kChannels, 16)) {
    test::SignalSpec spec{kRate, kChannels, 16, false, true, kFramesPerPacket, 3};
    block_ = test::SignalSamples(spec, 0, kFramesPerPacket);
  }
  int32_t HasInput() override { return 0; }
  int32_t HasOutput() override { return 1; }
  int32_t GetInputByName(AudioModuleInput**, const char16_t*) override { return kErrNotFound; }
  int32_t GetInput(AudioModuleInput**, int32_t) override { return kErrNotFound; }
  int32_t GetOutputByName(AudioModuleOutput** out, const char16_t*) override {
    *out = this;
    return kOk;
  }
  int32_t GetOutput(AudioModuleOutput** out, int32_t) override {
    *out = this;
    return kOk;
  }
  int32_t SetChain(MMediaChain*) override { return kOk; }
  int32_t StateChange(int32_t) override { return kOk; }
  int32_t Prepare(int32_t) override { return kOk; }
  int32_t Seek(double, uint32_t, uint32_t) override { return kOk; }

  int32_t GetName(TString* name) override {
    *name = u"output";
    return kOk;
  }
  int32_t GetPacket(AudioPacket** slot) override {
    if (next_ >= frames_) return -9;
    const int32_t r = pool_->AcquirePacket(slot, static_cast<uint32_t>(block_.size()));
    if (r < 0) return r;
    AudioPacket* p = *slot;
    std::memcpy(p->data, block_.data(), block_.size());
    p->SetFormat(format_.Get());
    p->flags = next_ == 0 ? static_cast<uint32_t>(kPacketFirst) : 0u;
    next_ += kFramesPerPacket;
    if (next_ >= frames_) p->flags |= kPacketLast;
    p->position = static_cast<double>(next_ - kFramesPerPacket) / kRate;
    p->length = static_cast<double>(kFramesPerPacket) / kRate;
    p->streamId = 1;
    ++packets;
    return kOk;
  }
  int32_t GetFormats(AudioFormatList* formats) override {
    formats->Append(format_.Get());
    return kOk;
  }
  int32_t SetFormat(AudioFormat*) override { return kOk; }
  int32_t SetDestination(AudioModuleInput*) override { return kOk; }
  int32_t GetOwner(MAudioModule** owner) override {
    AddRef();
    *owner = this;
    return kOk;
  }

  uint64_t packets = 0;

 private:
  MPacketPool* pool_;
  uint64_t frames_;
  uint64_t next_ = 0;
  RefPtr<AudioFormat> format_;
  std::vector<uint8_t> block_;
};

// Plays instantly and keeps nothing.
class NullDevice final : public ComObject<NullDevice, SilentFace<MOutputDevice>> {
 public:
  int32_t GetString(const char16_t*, TString*) override { return kErrNotFound; }
  int32_t GetInteger(const char16_t*, int32_t*) override { return kErrNotFound; }
  int32_t GetNumber(const char16_t*, double*) override { return kErrNotFound; }
  int32_t Describe(PropertyDescriptionList*) override { return kOk; }
  int32_t SetString(const char16_t*, const char16_t*) override { return kErrNotFound; }
  int32_t SetInteger(const char16_t*, int32_t) override { return kErrNotFound; }
  int32_t SetNumber(const char16_t*, double) override { return kErrNotFound; }
  int32_t LoadSettings(MPreferenceStore*) override { return kOk; }
  int32_t SaveSettings(MPreferenceStore*) override { return kOk; }
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return kOk; }
  int32_t CanOpen(AudioFormat* f) override { return IsPcm(*f) ? 1 : 0; }
  uint32_t FormatScore(AudioFormat* f) override { return (f->sampleRate + 1) * f->bitsPerSample; }
  bool NoPollDelay() override { return false; }
  bool Open(AudioFormat* f, double seconds) override {
    bps_ = vk2::BytesPerSecond(*f);
    size_ = static_cast<uint32_t>(bps_ * seconds) & ~3u;
    return true;
  }
  void Close() override {}
  int32_t FormatDiffers(AudioFormat*) override { return 0; }
  bool ChangeFormat(AudioFormat*) override { return true; }
  uint32_t Channels() override { return kChannels; }
  uint32_t SampleRate() override { return kRate; }
  uint32_t BytesPerSecond() override { return bps_; }
  uint32_t BufferSize() override { return size_; }
  bool Play() override { return true; }
  bool Pause() override { return true; }
  bool Flush() override { return true; }
  bool Drain(Event*) override { return true; }
  uint32_t FreeSpace() override { return size_; }
  bool SetVolume(double) override { return true; }
  bool SetBalance(double) override { return true; }
  bool Write(const void*, uint32_t count) override {
    written += count;
    return true;
  }
  uint64_t written = 0;

 private:
  uint32_t bps_ = 0;
  uint32_t size_ = 0;
};

double EngineSeconds(test::TestRegistry& registry, double audioSeconds, uint64_t* packets) {
  RefPtr<MPacketPool> pool;
  registry.SystemObject()->CreateInstance(kIID_MPacketPool, pool.PutVoid(), nullptr);
  const auto frames = static_cast<uint64_t>(audioSeconds * kRate);
  RefPtr<FastSource> source(new FastSource(pool.Get(), frames));
  RefPtr<MAudioModule> f1 = test::MakePassThroughFilter(std::make_shared<test::FilterConfig>());
  RefPtr<MAudioModule> f2 = test::MakePassThroughFilter(std::make_shared<test::FilterConfig>());
  RefPtr<GenericOutput> endpoint = GenericOutput::Create();
  RefPtr<NullDevice> device(new NullDevice);
  endpoint->SetOutputDevice(device.Get());
  // source -> f1 -> f2 -> endpoint, connected as a chain connects them.
  MAudioModule* chain[] = {source.Get(), f1.Get(), f2.Get(), endpoint.Get()};
  for (int i = 0; i + 1 < 4; ++i) {
    AudioModuleOutput* out = nullptr;
    AudioModuleInput* in = nullptr;
    chain[i]->GetOutput(&out, 0);
    chain[i + 1]->GetInput(&in, 0);
    out->SetDestination(in);
    in->Connect(out);
  }
  test::RecordingCallback done;
  auto callbacks = Query<MCallbackRegistry>(endpoint, kIID_MCallbackRegistry);
  callbacks->RegisterCallback(&done, 0);
  const auto start = std::chrono::steady_clock::now();
  endpoint->StateChange(kChainPlaying);
  done.WaitFor(kEventStreamEnded, 1, 600000);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  callbacks->UnregisterCallback(&done, 0);
  endpoint->StateChange(kChainStopped);
  *packets = source->packets;
  return elapsed;
}

// Ogg Vorbis of the same signal, in memory.
std::vector<uint8_t> EncodeVorbis(double audioSeconds) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init_vbr(&vi, kChannels, kRate, 0.4f);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);
  std::vector<uint8_t> out;
  auto flush = [&](bool all) {
    ogg_page og;
    while (all ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
      out.insert(out.end(), og.header, og.header + og.header_len);
      out.insert(out.end(), og.body, og.body + og.body_len);
    }
  };
  ogg_packet h1, h2, h3;
  vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_stream_packetin(&os, &h3);
  flush(true);
  test::SignalSpec spec{kRate, kChannels, 16, false, true, 0, 3};
  const auto total = static_cast<uint64_t>(audioSeconds * kRate);
  for (uint64_t at = 0; at <= total; at += 4096) {
    const uint64_t n = std::min<uint64_t>(4096, total - at);
    if (n > 0) {
      const std::vector<uint8_t> pcm = test::SignalSamples(spec, at, n);
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (uint64_t i = 0; i < n; ++i) {
        for (uint32_t c = 0; c < kChannels; ++c) {
          const size_t o = (i * kChannels + c) * 2;
          buffer[c][i] = static_cast<int16_t>(pcm[o] | (pcm[o + 1] << 8)) / 32768.0f;
        }
      }
    }
    vorbis_analysis_wrote(&vd, static_cast<int>(n));
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        flush(false);
      }
    }
    if (n == 0) break;
  }
  flush(true);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

struct Memory {
  const std::vector<uint8_t>* data;
  size_t at = 0;
};

double DecoderSeconds(const std::vector<uint8_t>& ogg, uint64_t* bytes) {
  Memory m{&ogg};
  ov_callbacks io{};
  io.read_func = [](void* p, size_t size, size_t n, void* source) -> size_t {
    auto* s = static_cast<Memory*>(source);
    const size_t want = std::min(size * n, s->data->size() - s->at);
    std::memcpy(p, s->data->data() + s->at, want);
    s->at += want;
    return size ? want / size : 0;
  };
  OggVorbis_File vf;
  const auto start = std::chrono::steady_clock::now();
  ov_open_callbacks(&m, &vf, nullptr, 0, io);
  char pcm[4608];
  int section = 0;
  *bytes = 0;
  long n = 0;
  while ((n = ov_read(&vf, pcm, sizeof pcm, 0, 2, 1, &section)) > 0)
    *bytes += static_cast<uint64_t>(n);
  ov_clear(&vf);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_EngineChain(benchmark::State& state) {
  test::TestRegistry registry;
  uint64_t packets = 0;
  double total = 0;
  for (auto _ : state) {
    const double s = EngineSeconds(registry, kSeconds, &packets);
    state.SetIterationTime(s);
    total += s;
  }
  state.counters["packets_per_s"] =
      benchmark::Counter(static_cast<double>(packets) * state.iterations() / total);
  state.counters["audio_s_per_s"] = benchmark::Counter(kSeconds * state.iterations() / total);
}
BENCHMARK(BM_EngineChain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_VorbisDecoder(benchmark::State& state) {
  const std::vector<uint8_t> ogg = EncodeVorbis(kSeconds);
  uint64_t bytes = 0;
  double total = 0;
  for (auto _ : state) {
    const double s = DecoderSeconds(ogg, &bytes);
    state.SetIterationTime(s);
    total += s;
  }
  state.counters["audio_s_per_s"] = benchmark::Counter(
      static_cast<double>(bytes) / (kRate * kChannels * 2) * state.iterations() / total);
}
BENCHMARK(BM_VorbisDecoder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Both on the same audio, alternately: the engine's time as a share of the decoder's.
void BM_EngineShareOfDecoder(benchmark::State& state) {
  test::TestRegistry registry;
  const std::vector<uint8_t> ogg = EncodeVorbis(kSeconds);
  double engine = 0;
  double decoder = 0;
  for (auto _ : state) {
    uint64_t packets = 0;
    uint64_t bytes = 0;
    engine += EngineSeconds(registry, kSeconds, &packets);
    decoder += DecoderSeconds(ogg, &bytes);
    state.SetIterationTime(engine + decoder);
  }
  state.counters["engine_share"] = benchmark::Counter(engine / decoder);
}
BENCHMARK(BM_EngineShareOfDecoder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace vk2
