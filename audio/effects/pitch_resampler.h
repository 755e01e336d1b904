// The pitch filter's sample work: channel gains from amplification and balance, gains applied in
// place, and "tape" resampling by linear interpolation in 16.16 fixed point, carrying the last
// frame of one packet into the next. There is deliberately no anti-alias filter: a faster tape
// folds what lies above the new Nyquist frequency back down, and that is the sound asked for.
#pragma once

#include <cstdint>
#include <vector>

#include "interfaces/audio/audio_format.h"

namespace vk2 {

// Left = (1 - max(balance, 0)) x amp, right = (1 - max(-balance, 0)) x amp. A mono stream takes
// the larger of the two; channels past the second take the amplification alone.
std::vector<double> ChannelGains(double amplification, double balance, uint32_t channels);

class PitchResampler {
 public:
  // Forgets the remembered frame: the next packet starts from silence.
  void Reset(uint32_t channels);

  // Each sample times its channel's gain, clipped, in place.
  void ApplyGains(uint8_t* data, uint32_t frames, const AudioFormat& format,
                  const std::vector<double>& gains);
  // `inFrames` frames of `in` become `outFrames` frames of `out` (both of `format`): output frame
  // k lies at input position k x step / 65536 - 1 (step = in x 65536 / out), where -1 is the
  // remembered last frame of the previous packet. Equal counts only apply the gains.
  void Resample(const uint8_t* in, uint32_t inFrames, uint8_t* out, uint32_t outFrames,
                const AudioFormat& format, const std::vector<double>& gains);

 private:
  std::vector<double> lastReal_;  // float formats
  std::vector<int32_t> lastInt_;  // integer formats, centred on 0
};

}  // namespace vk2
