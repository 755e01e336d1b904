// The equalizer's band layout: the bands' centres, widths and gains, the default layout, and
// how the layout is kept in a preference section. Shared by the filter, which reads it, and the
// control object, which writes it.
#pragma once

#include <cstdint>
#include <vector>

namespace vk2 {

class MPreferenceStore;

struct EqualizerBandSetting {
  double frequency = 0.0;  // centre, Hz
  double width = 0.0;      // Hz
  double gain = 0.0;       // -1.0 to 1.0
};

using BandLayout = std::vector<EqualizerBandSetting>;

inline constexpr uint32_t kDefaultBandCount = 20;
// A stored count above this is taken as damage: the default layout stands in for it.
inline constexpr int32_t kMaxStoredBands = 200;
// Where the default layout starts: the top of a 44.1 kHz stream.
inline constexpr double kDefaultLayoutTop = 22050.0;

// `count` bands halving downwards from `top`: for each band from the last down, bottom = top/2
// (0 for band 0), width = top - bottom, centre = top - width/2, and the next top is the centre.
// Each centre is three quarters of the one above. With `singlePrecision` the running values are
// floats, as the stored default layout has always been computed; gains are 0.
BandLayout HalvingLayout(uint32_t count, double top, bool singlePrecision);
inline BandLayout DefaultLayout(uint32_t count = kDefaultBandCount) {
  return HalvingLayout(count, kDefaultLayoutTop, true);
}

// Reads "NumBands" and the double lists "BandWidth", "Frequency" and "Gain" (each exactly
// NumBands long). Without a usable count: the 20-band default layout; with a count but a list
// missing or of another length: the default layout of that many bands.
BandLayout ReadBandLayout(MPreferenceStore* section);
// Writes the count, then the widths, frequencies and gains.
void WriteBandLayout(MPreferenceStore* section, const BandLayout& layout);

}  // namespace vk2
