#include "audio/effects/pitch_resampler.h"

#include <algorithm>
#include <cstring>

#include "audio/effects/effect_formats.h"

namespace vk2 {
namespace {

constexpr int64_t kOne = 65536;  // 16.16 fixed point

// Floats interpolate in double with the 1/65536 weight folded into the gain.
template <class T>
struct FloatPath {
  using Stored = T;
  using Value = double;
  using Gain = double;
  static double Load(Stored s) { return s; }
  static Gain MakeGain(double gain) { return gain; }
  static Stored Scale(double x, double gain) { return Clip(x * gain); }
  static Stored Interpolate(double x0, double x1, int64_t f, double gain) {
    const double weighted = gain / static_cast<double>(kOne);
    return Clip(weighted * (static_cast<double>(kOne - f) * x0 + static_cast<double>(f) * x1));
  }
  static Stored Clip(double v) { return static_cast<Stored>(std::clamp(v, -1.0, 1.0)); }
};

// Integers: the gain in fixed point (16.16 for 8-bit, 20.12 for 16-bit samples), the product
// clipped before it is shifted down. C++20 makes >> on negative values arithmetic.
template <class T, int kBits, int kGainShift, int kOffset>
struct IntegerPath {
  using Stored = T;
  using Value = int32_t;
  using Gain = int64_t;
  static constexpr int64_t kLimit = (int64_t{1} << (kBits - 1)) << kGainShift;
  static int32_t Load(Stored s) { return static_cast<int32_t>(s) - kOffset; }
  static Gain MakeGain(double gain) {
    return static_cast<int64_t>(gain * static_cast<double>(int64_t{1} << kGainShift));
  }
  static Stored Scale(int32_t x, Gain gain) { return Clip(static_cast<int64_t>(x) * gain); }
  static Stored Interpolate(int32_t x0, int32_t x1, int64_t f, Gain gain) {
    const int64_t mixed = (static_cast<int64_t>(x0) * (kOne - f) + f * x1) >> 16;
    return Clip(mixed * gain);
  }
  static Stored Clip(int64_t product) {
    int64_t v;
    if (product < -kLimit) {
      v = -(int64_t{1} << (kBits - 1));
    } else if (product >= kLimit) {
      v = (int64_t{1} << (kBits - 1)) - 1;
    } else {
      v = product >> kGainShift;
    }
    return static_cast<Stored>(v + kOffset);
  }
};

template <class Stored>
Stored LoadAt(const uint8_t* base, size_t index) {
  Stored s;
  std::memcpy(&s, base + index * sizeof(Stored), sizeof(Stored));
  return s;
}
template <class Stored>
void StoreAt(uint8_t* base, size_t index, Stored s) {
  std::memcpy(base + index * sizeof(Stored), &s, sizeof(Stored));
}

template <class Path>
std::vector<typename Path::Gain> Gains(const std::vector<double>& gains) {
  std::vector<typename Path::Gain> out;
  for (double g : gains)
    out.push_back(Path::MakeGain(g));
  return out;
}

template <class Path>
void ScaleFrames(const uint8_t* in, uint8_t* out, uint32_t frames, uint32_t channels,
                 const std::vector<double>& gains) {
  using Stored = typename Path::Stored;
  const auto g = Gains<Path>(gains);
  for (size_t n = 0; n < frames; ++n) {
    for (uint32_t c = 0; c < channels; ++c) {
      const size_t i = n * channels + c;
      StoreAt<Stored>(out, i, Path::Scale(Path::Load(LoadAt<Stored>(in, i)), g[c]));
    }
  }
}

template <class Path, class Last>
void ResampleFrames(const uint8_t* in, uint32_t inFrames, uint8_t* out, uint32_t outFrames,
                    uint32_t channels, const std::vector<double>& gains, std::vector<Last>* last) {
  using Stored = typename Path::Stored;
  if (inFrames == 0) return;
  if (inFrames == outFrames) {
    ScaleFrames<Path>(in, out, inFrames, channels, gains);
  } else if (outFrames > 0) {
    const auto g = Gains<Path>(gains);
    // 64-bit throughout: 32,768 frames and more would overflow F x 65536 in 32 bits.
    const uint64_t step = (static_cast<uint64_t>(inFrames) << 16) / outFrames;
    for (uint64_t k = 0; k < outFrames; ++k) {
      const uint64_t position = k * step;
      const int64_t whole = static_cast<int64_t>(position >> 16) - 1;
      const auto fraction = static_cast<int64_t>(position & 0xFFFF);
      for (uint32_t c = 0; c < channels; ++c) {
        typename Path::Value x0;
        typename Path::Value x1;
        if (whole < 0) {
          x0 = static_cast<typename Path::Value>((*last)[c]);
          x1 = Path::Load(LoadAt<Stored>(in, c));
        } else {
          const size_t i = static_cast<size_t>(whole) * channels + c;
          x0 = Path::Load(LoadAt<Stored>(in, i));
          x1 = Path::Load(LoadAt<Stored>(in, i + channels));
        }
        StoreAt<Stored>(out, k * channels + c, Path::Interpolate(x0, x1, fraction, g[c]));
      }
    }
  }
  const size_t lastFrame = static_cast<size_t>(inFrames - 1) * channels;
  for (uint32_t c = 0; c < channels; ++c)
    (*last)[c] = Path::Load(LoadAt<Stored>(in, lastFrame + c));
}

using S8Path = IntegerPath<int8_t, 8, 16, 0>;
using U8Path = IntegerPath<uint8_t, 8, 16, 128>;
using S16Path = IntegerPath<int16_t, 16, 12, 0>;
using U16Path = IntegerPath<uint16_t, 16, 12, 32768>;

}  // namespace

std::vector<double> ChannelGains(double amplification, double balance, uint32_t channels) {
  const double left = (1.0 - std::max(balance, 0.0)) * amplification;
  const double right = (1.0 - std::max(-balance, 0.0)) * amplification;
  if (channels == 1) return {std::max(left, right)};
  std::vector<double> gains(channels, amplification);
  if (channels >= 2) {
    gains[0] = left;
    gains[1] = right;
  }
  return gains;
}

void PitchResampler::Reset(uint32_t channels) {
  lastReal_.assign(channels, 0.0);
  lastInt_.assign(channels, 0);
}

void PitchResampler::ApplyGains(uint8_t* data, uint32_t frames, const AudioFormat& format,
                                const std::vector<double>& gains) {
  const uint32_t c = format.channels;
  if (gains.size() < c) return;
  switch (SampleKindOf(format)) {
    case EffectSampleKind::kS8:
      return ScaleFrames<S8Path>(data, data, frames, c, gains);
    case EffectSampleKind::kU8:
      return ScaleFrames<U8Path>(data, data, frames, c, gains);
    case EffectSampleKind::kS16:
      return ScaleFrames<S16Path>(data, data, frames, c, gains);
    case EffectSampleKind::kU16:
      return ScaleFrames<U16Path>(data, data, frames, c, gains);
    case EffectSampleKind::kF32:
      return ScaleFrames<FloatPath<float>>(data, data, frames, c, gains);
    case EffectSampleKind::kF64:
      return ScaleFrames<FloatPath<double>>(data, data, frames, c, gains);
  }
}

void PitchResampler::Resample(const uint8_t* in, uint32_t inFrames, uint8_t* out,
                              uint32_t outFrames, const AudioFormat& format,
                              const std::vector<double>& gains) {
  const uint32_t c = format.channels;
  if (gains.size() < c) return;
  if (lastReal_.size() != c || lastInt_.size() != c) Reset(c);
  switch (SampleKindOf(format)) {
    case EffectSampleKind::kS8:
      return ResampleFrames<S8Path>(in, inFrames, out, outFrames, c, gains, &lastInt_);
    case EffectSampleKind::kU8:
      return ResampleFrames<U8Path>(in, inFrames, out, outFrames, c, gains, &lastInt_);
    case EffectSampleKind::kS16:
      return ResampleFrames<S16Path>(in, inFrames, out, outFrames, c, gains, &lastInt_);
    case EffectSampleKind::kU16:
      return ResampleFrames<U16Path>(in, inFrames, out, outFrames, c, gains, &lastInt_);
    case EffectSampleKind::kF32:
      return ResampleFrames<FloatPath<float>>(in, inFrames, out, outFrames, c, gains, &lastReal_);
    case EffectSampleKind::kF64:
      return ResampleFrames<FloatPath<double>>(in, inFrames, out, outFrames, c, gains, &lastReal_);
  }
}

}  // namespace vk2
