#include "audio/effects/band_layout.h"

#include "interfaces/runtime/preference_store.h"

namespace vk2 {
namespace {

constexpr char16_t kNumBandsKey[] = u"NumBands";
constexpr char16_t kBandWidthKey[] = u"BandWidth";
constexpr char16_t kFrequencyKey[] = u"Frequency";
constexpr char16_t kGainKey[] = u"Gain";

template <class Real>
BandLayout Halving(uint32_t count, Real top) {
  BandLayout layout(count);
  for (uint32_t i = count; i-- > 0;) {
    const Real bottom = i == 0 ? Real(0) : static_cast<Real>(top / 2);
    layout[i].width = static_cast<Real>(top - bottom);
    layout[i].frequency = static_cast<Real>(top - static_cast<Real>(top - bottom) / 2);
    top = static_cast<Real>((top + bottom) / 2);
  }
  return layout;
}

// The list, when it holds exactly `count` values.
bool ReadList(MPreferenceStore* section, const char16_t* name, uint32_t count,
              std::vector<double>* values) {
  values->assign(count + 1, 0.0);
  uint32_t read = 0;
  if (section->GetDoubleList(name, values->data(), count + 1, &read) < 0 || read != count) {
    return false;
  }
  values->resize(count);
  return true;
}

}  // namespace

BandLayout HalvingLayout(uint32_t count, double top, bool singlePrecision) {
  return singlePrecision ? Halving<float>(count, static_cast<float>(top))
                         : Halving<double>(count, top);
}

BandLayout ReadBandLayout(MPreferenceStore* section) {
  int32_t stored = 0;
  if (!section || section->GetInt(kNumBandsKey, &stored) < 0 || stored < 0 ||
      stored > kMaxStoredBands) {
    return DefaultLayout();
  }
  const auto count = static_cast<uint32_t>(stored);
  std::vector<double> widths;
  std::vector<double> frequencies;
  std::vector<double> gains;
  if (!ReadList(section, kBandWidthKey, count, &widths) ||
      !ReadList(section, kFrequencyKey, count, &frequencies) ||
      !ReadList(section, kGainKey, count, &gains)) {
    return DefaultLayout(count);
  }
  BandLayout layout(count);
  for (uint32_t i = 0; i < count; ++i)
    layout[i] = {frequencies[i], widths[i], gains[i]};
  return layout;
}

void WriteBandLayout(MPreferenceStore* section, const BandLayout& layout) {
  if (!section) return;
  const auto count = static_cast<uint32_t>(layout.size());
  std::vector<double> widths(count);
  std::vector<double> frequencies(count);
  std::vector<double> gains(count);
  for (uint32_t i = 0; i < count; ++i) {
    widths[i] = layout[i].width;
    frequencies[i] = layout[i].frequency;
    gains[i] = layout[i].gain;
  }
  section->SetInt(kNumBandsKey, static_cast<int32_t>(count));
  section->SetDoubleList(kBandWidthKey, widths.data(), count);
  section->SetDoubleList(kFrequencyKey, frequencies.data(), count);
  section->SetDoubleList(kGainKey, gains.data(), count);
}

}  // namespace vk2
