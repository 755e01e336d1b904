// The equalizer's bands at work: coefficients for a stream's rate, per-channel histories, and
// the routines that run a buffer through the bands in series, in place.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/effects/band_layout.h"
#include "interfaces/audio/audio_format.h"

namespace vk2 {

// Gains smaller than this leave a band out of the processing altogether.
inline constexpr float kActiveGain = 0.01f;

template <class Real>
struct BandHistory {
  Real x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

struct EqualizerBand {
  EqualizerBandSetting setting;
  float gainSingle = 0.0f;
  double a0 = 0, b1 = 0, b2 = 0;
  float a0Single = 0, b1Single = 0, b2Single = 0;
  // False when the band cannot be built for the rate (centre or width not inside (0, fs/2)):
  // such a band would be unstable or alias, so it stays flat instead.
  bool usable = false;
  uint32_t channels = 0;  // what the histories are sized for
  std::vector<BandHistory<float>> singleHistory;
  std::vector<BandHistory<double>> doubleHistory;
};

class EqualizerBank {
 public:
  // New bands with no histories; they touch no audio until built.
  void SetLayout(const BandLayout& layout);
  BandLayout Layout() const;
  uint32_t Count() const { return static_cast<uint32_t>(bands_.size()); }
  const std::vector<EqualizerBand>& Bands() const { return bands_; }
  std::vector<EqualizerBand> TakeBands() { return std::move(bands_); }

  // Coefficients and zeroed histories for `rate` and `channels`; a band of `source` with the
  // same centre, width and channel count hands its histories on (the last such band wins).
  void Build(uint32_t rate, uint32_t channels, const std::vector<EqualizerBand>* source);

  // Runs `bytes` of samples of `format` (one the filters support, the bank built for it)
  // through the active bands; a trailing partial frame is left alone.
  void Process(uint8_t* data, uint32_t bytes, const AudioFormat& format);

 private:
  std::vector<EqualizerBand> bands_;
  std::vector<float> singleWork_;
  std::vector<double> doubleWork_;
  std::vector<uint32_t> active_;
};

}  // namespace vk2
