#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <string_view>

#include "audio/decoders/mpeg/core/decoder_core.h"

namespace vk2::mpegtest {

namespace {

struct Scratch {
  std::string path;
  Scratch() {
    char pattern[] = "/tmp/vk2-mpeg-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path = made ? made : "/tmp";
  }
  ~Scratch() {
    std::error_code ec;
    if (path != "/tmp") std::filesystem::remove_all(path, ec);
  }
};

std::mutex cacheLock;
std::map<std::string, std::string> cache;

void PutLe16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
  PutLe16(b, v & 0xFFFF);
  PutLe16(b, v >> 16);
}
// Byte by byte: g++ 12 at -O3 warns of an overflow in an initializer-list insert.
void PutTag(std::vector<uint8_t>& b, std::string_view tag) {
  for (char c : tag)
    b.push_back(static_cast<uint8_t>(c));
}

}  // namespace

const std::string& ScratchDir() {
  static Scratch scratch;
  return scratch.path;
}

bool Run(const std::string& command) {
  std::string line = command + " 2>>" + ScratchDir() + "/tools.log";
  return std::system(line.c_str()) == 0;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::string SignalWav(int sampleRate, int channels, double seconds) {
  std::string key = "wav-" + std::to_string(sampleRate) + "-" + std::to_string(channels) + "-" +
                    std::to_string(static_cast<int>(seconds * 1000));
  std::lock_guard<std::mutex> lock(cacheLock);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  size_t frames = static_cast<size_t>(seconds * sampleRate);
  std::vector<uint8_t> wav;
  uint32_t dataBytes = static_cast<uint32_t>(frames * channels * 2);
  PutTag(wav, "RIFF");
  PutLe32(wav, 36 + dataBytes);
  PutTag(wav, "WAVEfmt ");
  PutLe32(wav, 16);
  PutLe16(wav, 1);
  PutLe16(wav, static_cast<uint32_t>(channels));
  PutLe32(wav, static_cast<uint32_t>(sampleRate));
  PutLe32(wav, static_cast<uint32_t>(sampleRate * channels * 2));
  PutLe16(wav, static_cast<uint32_t>(channels * 2));
  PutLe16(wav, 16);
  PutTag(wav, "data");
  PutLe32(wav, dataBytes);
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const double pi = 3.14159265358979323846;
  for (size_t i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    for (int ch = 0; ch < channels; ++ch) {
      double f0 = ch == 0 ? 220.0 : 330.0;
      double v = 0.18 * std::sin(2 * pi * f0 * t) * (0.6 + 0.4 * std::sin(2 * pi * 0.7 * t));
      v += 0.08 * std::sin(2 * pi * (f0 * 4.5) * t + ch);
      double sweep = 200.0 + 0.4 * sampleRate * (t / seconds) * 0.5;
      v += 0.06 * std::sin(2 * pi * sweep * t);
      v += 0.03 * noise(random);
      // A click every quarter second makes the encoder switch to short blocks.
      double phase = std::fmod(t, 0.25);
      if (phase < 0.004) v += 0.2 * std::sin(2 * pi * 3000 * phase) * (1 - phase / 0.004);
      int s = static_cast<int>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
      PutLe16(wav, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(s))));
    }
  }
  std::string path = ScratchDir() + "/" + key + ".wav";
  WriteFile(path, wav);
  cache[key] = path;
  return path;
}

std::string Encode(const std::string& name, const std::string& commandTemplate,
                   const std::string& wav) {
  std::string key = "enc-" + name;
  {
    std::lock_guard<std::mutex> lock(cacheLock);
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
  }
  std::string out = ScratchDir() + "/" + name;
  std::string command = commandTemplate;
  auto replace = [&](const std::string& from, const std::string& to) {
    for (size_t at = command.find(from); at != std::string::npos;
         at = command.find(from, at + to.size()))
      command.replace(at, from.size(), to);
  };
  replace("%in", "'" + wav + "'");
  replace("%out", "'" + out + "'");
  if (!Run(command)) return {};
  std::lock_guard<std::mutex> lock(cacheLock);
  cache[key] = out;
  return out;
}

Pcm DecodeOurs(const std::vector<uint8_t>& bytes, bool asFloat, MpegSimdLevel level) {
  Pcm pcm;
  MemoryByteSource source(bytes);
  MpegDecoderCore core(source, level);
  std::vector<uint8_t> frame(MpegLayerDecoder::kMaxFrameSamples * 4);
  for (;;) {
    int n = core.Decode(frame.data(), asFloat);
    if (n < 0) break;
    pcm.sampleRate = core.Header().sampleRate;
    pcm.channels = core.Header().channels;
    if (asFloat) {
      const float* f = reinterpret_cast<const float*>(frame.data());
      pcm.samples.insert(pcm.samples.end(), f, f + n);
    } else {
      const int16_t* s = reinterpret_cast<const int16_t*>(frame.data());
      pcm.pcm16.insert(pcm.pcm16.end(), s, s + n);
      for (int i = 0; i < n; ++i)
        pcm.samples.push_back(s[i] / 32767.0f);
    }
  }
  return pcm;
}

Pcm DecodeMpg123(const std::vector<uint8_t>& bytes) {
  Pcm pcm;
  int err = 0;
  mpg123_handle* mh = mpg123_new(nullptr, &err);
  if (!mh) return pcm;
  mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT | MPG123_QUIET, 0);
  mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  mpg123_open_feed(mh);
  mpg123_feed(mh, bytes.data(), bytes.size());
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    size_t done = 0;
    int ret = mpg123_read(mh, buffer.data(), buffer.size(), &done);
    if (ret == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(mh, &rate, &channels, &encoding);
      pcm.sampleRate = static_cast<int>(rate);
      pcm.channels = channels;
    }
    const float* f = reinterpret_cast<const float*>(buffer.data());
    pcm.samples.insert(pcm.samples.end(), f, f + done / sizeof(float));
    if (ret == MPG123_NEED_MORE || ret == MPG123_DONE ||
        (ret != MPG123_OK && ret != MPG123_NEW_FORMAT))
      break;
  }
  mpg123_delete(mh);
  return pcm;
}

Pcm DecodeFfmpeg(const std::string& path) {
  Pcm pcm;
  std::string raw = path + ".f32";
  std::string probe = path + ".probe";
  if (!Run("ffmpeg -v error -y -i '" + path + "' -f f32le '" + raw + "'")) return pcm;
  if (!Run("ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels -of "
           "csv=p=0 '" +
           path + "' > '" + probe + "'"))
    return pcm;
  std::vector<uint8_t> text = ReadFile(probe);
  std::string line(text.begin(), text.end());
  std::sscanf(line.c_str(), "%d,%d", &pcm.sampleRate, &pcm.channels);
  std::vector<uint8_t> bytes = ReadFile(raw);
  pcm.samples.resize(bytes.size() / 4);
  std::memcpy(pcm.samples.data(), bytes.data(), pcm.samples.size() * 4);
  return pcm;
}

Difference Compare(const Pcm& ours, const Pcm& reference, long maxShift) {
  Difference best;
  best.rms = 1e9;
  const long channels = std::max(1, ours.channels);
  for (long shift = -maxShift; shift <= maxShift; ++shift) {
    long offset = shift * channels;
    size_t begin = static_cast<size_t>(std::max(0L, -offset));
    size_t end = std::min(
        ours.samples.size(),
        static_cast<size_t>(std::max(0L, static_cast<long>(reference.samples.size()) - offset)));
    if (end <= begin) continue;
    // A quick rms over a stride picks the shift; the full measure runs on the best one.
    double sum = 0;
    size_t n = 0;
    size_t step = maxShift > 0 ? 7 : 1;
    for (size_t i = begin; i < end; i += step, ++n) {
      double r = std::clamp(reference.samples[i + offset], -1.0f, 1.0f);
      double d = ours.samples[i] - r;
      sum += d * d;
    }
    double rms = std::sqrt(sum / std::max<size_t>(n, 1));
    if (rms < best.rms) {
      best.rms = rms;
      best.offset = offset;
    }
  }
  long offset = best.offset;
  size_t begin = static_cast<size_t>(std::max(0L, -offset));
  size_t end = std::min(
      ours.samples.size(),
      static_cast<size_t>(std::max(0L, static_cast<long>(reference.samples.size()) - offset)));
  double sum = 0, peak = 0;
  for (size_t i = begin; i < end; ++i) {
    double r = std::clamp(reference.samples[i + offset], -1.0f, 1.0f);
    double d = std::fabs(ours.samples[i] - r);
    sum += d * d;
    peak = std::max(peak, d);
  }
  best.compared = end > begin ? end - begin : 0;
  best.rms = best.compared ? std::sqrt(sum / best.compared) : 1e9;
  best.peak = peak;
  return best;
}

int MaxLsbDifference(const Pcm& ours16, const Pcm& referenceFloat) {
  size_t n = std::min(ours16.pcm16.size(), referenceFloat.samples.size());
  int worst = 0;
  for (size_t i = 0; i < n; ++i) {
    double r = std::clamp(std::nearbyint(referenceFloat.samples[i] * 32767.0), -32768.0, 32767.0);
    worst = std::max(worst, static_cast<int>(std::fabs(ours16.pcm16[i] - r)));
  }
  return worst;
}

}  // namespace vk2::mpegtest
