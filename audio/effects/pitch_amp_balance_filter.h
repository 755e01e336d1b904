// The pitch, amplification and balance filter as a chain module: scales the channels by the
// amplification and a linear balance law and, at any pitch but 1, resamples each packet into a
// new one like a tape run faster or slower. Its values come from the preference section the
// chain gives it and are read again on the filter message "PitchAmpBalReloadSettings".
//
// A resampled packet keeps its input's position and length: the displayed time then runs at
// the stream's own pace, not the heard one.
#pragma once

#include <cstdint>

#include "audio/common/media_errors.h"
#include "audio/common/property_table.h"
#include "audio/effects/effect_properties_face.h"
#include "audio/effects/filter_module.h"
#include "audio/effects/pitch_resampler.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2 {

inline constexpr char16_t kPitchAmpBalReloadMessage[] = u"PitchAmpBalReloadSettings";

// The ranges both the filter and its control object hold the values to.
inline constexpr double kMinFactor = 0.125;
inline constexpr double kMaxFactor = 8.0;
inline constexpr double kMinBalance = -1.0;
inline constexpr double kMaxBalance = 1.0;
inline bool IsFactorInRange(double v) {
  return v >= kMinFactor && v <= kMaxFactor;
}
inline bool IsBalanceInRange(double v) {
  return v >= kMinBalance && v <= kMaxBalance;
}

class PitchAmpBalanceFilter final
    : public FilterModule<PitchAmpBalanceFilter, kIID_MPitchAmpBalance>,
      private EffectSettings {
 public:
  static RefPtr<PitchAmpBalanceFilter> Make();

 private:
  PitchAmpBalanceFilter();
  ~PitchAmpBalanceFilter() override;

  int32_t PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) override;
  MModuleProperties* Properties() override { return &properties_; }

  int32_t LoadEffectSettings(MPreferenceStore* section) override;
  int32_t SaveEffectSettings(MPreferenceStore* section) override;
  void OnFilterMessage(const TString& text) override;

  void ReadValues(MPreferenceStore* section);  // under lock_
  int32_t SetValue(double* field, double value, bool inRange);

  MediaErrorRegistration errors_;
  RefPtr<MPacketPool> pool_;
  CriticalSection lock_;  // the three values, the format and the kept section
  double pitch_ = 1.0;
  double amplification_ = 1.0;
  double balance_ = 0.0;
  RefPtr<AudioFormat> format_;
  RefPtr<MPreferenceStore> store_;
  PitchResampler resampler_;  // the pulling thread's alone
  PropertyTable table_;
  EffectPropertiesFace properties_;
};

}  // namespace vk2
