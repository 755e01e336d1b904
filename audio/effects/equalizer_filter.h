// The band equalizer as a chain module: pulls PCM packets, runs them through its bands in
// place and hands them on. The layout comes from the preference section the chain gives it and
// is read again on the filter message "EqualizerReloadSettings".
#pragma once

#include <cstdint>

#include "audio/common/media_errors.h"
#include "audio/common/property_table.h"
#include "audio/effects/effect_properties_face.h"
#include "audio/effects/equalizer_bank.h"
#include "audio/effects/filter_module.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2 {

inline constexpr char16_t kEqualizerReloadMessage[] = u"EqualizerReloadSettings";

class EqualizerFilter final : public FilterModule<EqualizerFilter, kIID_MEqualizer>,
                              private EffectSettings {
 public:
  // One reference for the caller; null when memory runs out.
  static RefPtr<EqualizerFilter> Make();

 private:
  EqualizerFilter();
  ~EqualizerFilter() override;

  int32_t PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) override;
  MModuleProperties* Properties() override { return &properties_; }

  int32_t LoadEffectSettings(MPreferenceStore* section) override;
  int32_t SaveEffectSettings(MPreferenceStore* section) override;
  void OnFilterMessage(const TString& text) override;
  void DescribeMore(PropertyDescriptionList* list) override;

  int32_t SetBandCount(int32_t count);
  // Under lock_: builds the bank for the current format, if there is one.
  void BuildForFormat(const std::vector<EqualizerBand>* source);

  MediaErrorRegistration errors_;
  CriticalSection lock_;  // the bank, the format and the processing of one packet
  EqualizerBank bank_;
  RefPtr<AudioFormat> format_;
  RefPtr<MPreferenceStore> store_;
  PropertyTable table_;
  EffectPropertiesFace properties_;
};

}  // namespace vk2
