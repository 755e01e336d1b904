// MPEG audio decoding speed: our decoder (plain, SSE2 and AVX2 kernels) against libmpg123 on the
// same in-memory files, single thread, decoded samples per second. Besides the Google Benchmark
// runs, prints a table of ratios ours / libmpg123 (best of several whole-file decodes each).
#include <benchmark/benchmark.h>
#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "audio/decoders/mpeg/core/decoder_core.h"

namespace {

using vk2::MpegSimdLevel;

struct File {
  std::string name;
  std::vector<uint8_t> bytes;
};

void PutLe(std::vector<uint8_t>& b, uint32_t v, int n) {
  for (int i = 0; i < n; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// 20 seconds of stereo music-like signal, encoded by the tools the tests use.
std::vector<File> MakeFiles() {
  char dir[] = "/tmp/vk2-mpeg-bench-XXXXXX";
  if (!mkdtemp(dir)) return {};
  const int rate = 44100, seconds = 20;
  std::vector<uint8_t> wav;
  uint32_t data = rate * seconds * 4;
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  PutLe(wav, 36 + data, 4);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);
  PutLe(wav, 2, 2);
  PutLe(wav, rate, 4);
  PutLe(wav, rate * 4, 4);
  PutLe(wav, 4, 2);
  PutLe(wav, 16, 2);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  PutLe(wav, data, 4);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 0.02);
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < rate * seconds; ++i) {
    double t = static_cast<double>(i) / rate;
    for (int ch = 0; ch < 2; ++ch) {
      double v = 0;
      for (int h = 1; h <= 12; ++h)
        v += 0.25 / h * std::sin(2 * pi * (110.0 + 55.0 * ch) * h * t * (1 + 0.01 * std::sin(t)));
      v += noise(random);
      PutLe(wav, static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, -1.0, 1.0) * 30000)), 2);
    }
  }
  std::string base = dir;
  {
    std::ofstream(base + "/in.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
  }
  struct Encoding {
    const char* name;
    const char* command;
  };
  const Encoding encodings[] = {{"l3_128", "lame --quiet -b 128 %s/in.wav %s/out"},
                                {"l3_320", "lame --quiet -b 320 %s/in.wav %s/out"},
                                {"l3_vbr", "lame --quiet -V 2 %s/in.wav %s/out"},
                                {"l2_256", "twolame --quiet -b 256 %s/in.wav %s/out"}};
  std::vector<File> files;
  for (const Encoding& s : encodings) {
    char command[512];
    std::snprintf(command, sizeof command, s.command, dir, dir);
    if (std::system(command) != 0) continue;
    std::ifstream in(base + "/out", std::ios::binary);
    files.push_back({s.name, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})});
  }
  std::system(("rm -rf '" + base + "'").c_str());
  return files;
}

const std::vector<File>& Files() {
  static const std::vector<File> files = MakeFiles();
  return files;
}

// Decodes a whole file; the count of sample values.
size_t DecodeOurs(const std::vector<uint8_t>& bytes, MpegSimdLevel level, bool asFloat) {
  vk2::MemoryByteSource source(bytes);
  vk2::MpegDecoderCore core(source, level);
  alignas(64) static float out[vk2::MpegLayerDecoder::kMaxFrameSamples];
  size_t total = 0;
  for (int n; (n = core.Decode(out, asFloat)) >= 0;)
    total += static_cast<size_t>(n);
  benchmark::DoNotOptimize(out);
  return total;
}

size_t DecodeMpg123(const std::vector<uint8_t>& bytes, bool asFloat) {
  int err = 0;
  mpg123_handle* mh = mpg123_new(nullptr, &err);
  mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | (asFloat ? MPG123_FORCE_FLOAT : 0), 0);
  mpg123_open_feed(mh);
  mpg123_feed(mh, bytes.data(), bytes.size());
  size_t total = 0;
  unsigned char* audio = nullptr;
  size_t bytesOut = 0;
  off_t num = 0;
  for (;;) {
    int ret = mpg123_decode_frame(mh, &num, &audio, &bytesOut);
    if (ret == MPG123_OK || ret == MPG123_NEW_FORMAT) {
      total += bytesOut / (asFloat ? 4 : 2);
      continue;
    }
    break;
  }
  mpg123_delete(mh);
  return total;
}

struct Decoder {
  const char* name;
  std::function<size_t(const std::vector<uint8_t>&, bool)> run;
};

std::vector<Decoder> Decoders() {
  std::vector<Decoder> d;
  d.push_back({"mpg123", DecodeMpg123});
  d.push_back(
      {"plain", [](const auto& b, bool f) { return DecodeOurs(b, MpegSimdLevel::kPlain, f); }});
  d.push_back(
      {"sse2", [](const auto& b, bool f) { return DecodeOurs(b, MpegSimdLevel::kSse2, f); }});
  if (vk2::MpegSimdLevelSupported(MpegSimdLevel::kAvx2))
    d.push_back(
        {"avx2", [](const auto& b, bool f) { return DecodeOurs(b, MpegSimdLevel::kAvx2, f); }});
  return d;
}

void Register() {
  for (const File& file : Files())
    for (const Decoder& decoder : Decoders())
      for (bool asFloat : {false, true}) {
        std::string name = file.name + "/" + decoder.name + (asFloat ? "/float" : "/s16");
        benchmark::RegisterBenchmark(
            name.c_str(), [&file, decoder, asFloat](benchmark::State& state) {
              size_t samples = 0;
              for (auto _ : state)
                samples += decoder.run(file.bytes, asFloat);
              state.counters["samples/s"] =
                  benchmark::Counter(static_cast<double>(samples), benchmark::Counter::kIsRate);
            });
      }
}

// Samples per second of each decoder, best of `rounds` whole-file decodes; the decoders take
// turns within each round, so that a change of machine load hits them alike.
std::vector<double> Speeds(const std::vector<Decoder>& decoders, const File& file, bool asFloat,
                           int rounds) {
  std::vector<double> best(decoders.size(), 0.0);
  for (int r = 0; r < rounds; ++r) {
    for (size_t d = 0; d < decoders.size(); ++d) {
      auto start = std::chrono::steady_clock::now();
      size_t samples = decoders[d].run(file.bytes, asFloat);
      double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      best[d] = std::max(best[d], samples / seconds);
    }
  }
  return best;
}

void PrintRatios() {
  std::vector<Decoder> decoders = Decoders();
  std::printf("\nlibmpg123 decoder: %s\n", [] {
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    static std::string name = mpg123_current_decoder(mh);
    mpg123_delete(mh);
    return name.c_str();
  }());
  std::printf("%-8s %-6s %14s", "file", "output", "mpg123 Msmp/s");
  for (size_t i = 1; i < decoders.size(); ++i)
    std::printf(" %8s", decoders[i].name);
  std::printf("   (ratio ours / libmpg123)\n");
  for (const File& file : Files())
    for (bool asFloat : {false, true}) {
      std::vector<double> speeds = Speeds(decoders, file, asFloat, 15);
      std::printf("%-8s %-6s %14.1f", file.name.c_str(), asFloat ? "float" : "s16",
                  speeds[0] / 1e6);
      for (size_t i = 1; i < decoders.size(); ++i)
        std::printf(" %8.2f", speeds[i] / speeds[0]);
      std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (std::getenv("VK2_BENCH_SKIP_RATIOS") == nullptr) PrintRatios();
  return 0;
}
