#include "audio/effects/equalizer_bank.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/effects/denormal_guard.h"
#include "audio/effects/effect_formats.h"

namespace vk2 {
namespace {

// How each sample format is seen by the bands and written back.
template <class StoredT, int kOffset, int kMin, int kMax>
struct IntegerSamples {
  using Stored = StoredT;
  using Real = float;
  static float Load(Stored s) { return static_cast<float>(static_cast<int32_t>(s) - kOffset); }
  // Clamped before rounding, which lands on the same value as rounding then clamping.
  static Stored Save(float v) {
    v = std::clamp(v, static_cast<float>(kMin), static_cast<float>(kMax));
    return static_cast<Stored>(std::lrintf(v) + kOffset);
  }
};

template <class RealT>
struct FloatSamples {
  using Stored = RealT;
  using Real = RealT;
  static Real Load(Stored s) { return s; }
  static Stored Save(Real v) { return std::clamp(v, Real(-1), Real(1)); }
};

using S8Samples = IntegerSamples<int8_t, 0, -128, 127>;
using U8Samples = IntegerSamples<uint8_t, 128, -128, 127>;
using S16Samples = IntegerSamples<int16_t, 0, -32768, 32767>;
using U16Samples = IntegerSamples<uint16_t, 32768, -32768, 32767>;

template <class Real>
struct Stage {
  Real a0, b1, b2, gain;
  BandHistory<Real>* history;  // of the channel at work
};

Stage<float> StageOf(EqualizerBand& b, uint32_t channel, float*) {
  return {b.a0Single, b.b1Single, b.b2Single, b.gainSingle, &b.singleHistory[channel]};
}
Stage<double> StageOf(EqualizerBand& b, uint32_t channel, double*) {
  return {b.a0, b.b1, b.b2, b.setting.gain, &b.doubleHistory[channel]};
}

// One band over one channel's samples. The bands are in series: each sees the signal with the
// boosts and cuts of the bands before it, so running them band by band over a whole channel
// gives the same values as running them sample by sample.
template <class Real>
void RunStage(const Stage<Real>& s, Real* v, uint32_t count) {
  Real x1 = s.history->x1, x2 = s.history->x2, y1 = s.history->y1, y2 = s.history->y2;
  for (uint32_t i = 0; i < count; ++i) {
    const Real in = v[i];
    const Real y = s.a0 * (in - x2) - s.b1 * y1 - s.b2 * y2;
    x2 = x1;
    x1 = in;
    y2 = y1;
    y1 = y;
    v[i] = in + y * s.gain;
  }
  *s.history = {x1, x2, y1, y2};
}

template <class Samples>
void RunBuffer(uint8_t* data, uint32_t frames, uint32_t channels, std::vector<EqualizerBand>& bands,
               const std::vector<uint32_t>& active, std::vector<typename Samples::Real>& work) {
  using Stored = typename Samples::Stored;
  using Real = typename Samples::Real;
  constexpr size_t kSize = sizeof(Stored);
  work.resize(frames);
  for (uint32_t c = 0; c < channels; ++c) {
    uint8_t* p = data + c * kSize;
    for (uint32_t n = 0; n < frames; ++n) {
      Stored s;
      std::memcpy(&s, p + static_cast<size_t>(n) * channels * kSize, kSize);
      work[n] = Samples::Load(s);
    }
    for (uint32_t b : active)
      RunStage(StageOf(bands[b], c, static_cast<Real*>(nullptr)), work.data(), frames);
    for (uint32_t n = 0; n < frames; ++n) {
      const Stored s = Samples::Save(work[n]);
      std::memcpy(p + static_cast<size_t>(n) * channels * kSize, &s, kSize);
    }
  }
}

}  // namespace

void EqualizerBank::SetLayout(const BandLayout& layout) {
  bands_.clear();
  bands_.resize(layout.size());
  for (size_t i = 0; i < layout.size(); ++i) {
    bands_[i].setting = layout[i];
    bands_[i].gainSingle = static_cast<float>(layout[i].gain);
  }
}

BandLayout EqualizerBank::Layout() const {
  BandLayout layout;
  layout.reserve(bands_.size());
  for (const EqualizerBand& b : bands_)
    layout.push_back(b.setting);
  return layout;
}

void EqualizerBank::Build(uint32_t rate, uint32_t channels,
                          const std::vector<EqualizerBand>* source) {
  const double fs = rate;
  const double nyquist = fs / 2;
  for (EqualizerBand& b : bands_) {
    const double f = b.setting.frequency;
    const double w = b.setting.width;
    // Past these limits K is 0, negative or infinite: the band would blow up or turn to NaN.
    b.usable = rate > 0 && f > 0 && w > 0 && f < nyquist && w < nyquist;
    if (b.usable) {
      const double k = 1.0 / std::tan(std::numbers::pi * w / fs);
      b.a0 = 1.0 / (1.0 + k);
      b.b1 = -(k * 2.0 * std::cos(2.0 * std::numbers::pi * f / fs) * b.a0);
      b.b2 = (k - 1.0) * b.a0;
    } else {
      b.a0 = b.b1 = b.b2 = 0.0;
    }
    b.a0Single = static_cast<float>(b.a0);
    b.b1Single = static_cast<float>(b.b1);
    b.b2Single = static_cast<float>(b.b2);
    b.channels = channels;
    b.singleHistory.assign(channels, {});
    b.doubleHistory.assign(channels, {});
    if (!source) continue;
    for (const EqualizerBand& old : *source) {
      if (old.setting.frequency == f && old.setting.width == w && old.channels == channels) {
        b.singleHistory = old.singleHistory;
        b.doubleHistory = old.doubleHistory;
      }
    }
  }
}

void EqualizerBank::Process(uint8_t* data, uint32_t bytes, const AudioFormat& format) {
  if (!data || format.channels == 0) return;
  active_.clear();
  for (uint32_t i = 0; i < bands_.size(); ++i) {
    const EqualizerBand& b = bands_[i];
    if (b.usable && b.channels == format.channels && std::fabs(b.gainSingle) >= kActiveGain) {
      active_.push_back(i);
    }
  }
  if (active_.empty()) return;
  const uint32_t frameBytes = BytesPerFrame(format);
  if (frameBytes == 0) return;
  const uint32_t frames = bytes / frameBytes;
  const uint32_t c = format.channels;
  DenormalGuard denormals;
  switch (SampleKindOf(format)) {
    case EffectSampleKind::kS8:
      RunBuffer<S8Samples>(data, frames, c, bands_, active_, singleWork_);
      break;
    case EffectSampleKind::kU8:
      RunBuffer<U8Samples>(data, frames, c, bands_, active_, singleWork_);
      break;
    case EffectSampleKind::kS16:
      RunBuffer<S16Samples>(data, frames, c, bands_, active_, singleWork_);
      break;
    case EffectSampleKind::kU16:
      RunBuffer<U16Samples>(data, frames, c, bands_, active_, singleWork_);
      break;
    case EffectSampleKind::kF32:
      RunBuffer<FloatSamples<float>>(data, frames, c, bands_, active_, singleWork_);
      break;
    case EffectSampleKind::kF64:
      RunBuffer<FloatSamples<double>>(data, frames, c, bands_, active_, doubleWork_);
      break;
  }
}

}  // namespace vk2
