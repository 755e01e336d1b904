// The effects module vk2_audio_dsps: two classes, each making a filter for the chains and a
// control object for the players. The module's error-registry reference is the module glue's,
// held once from the first attach to the last detach.
#include <new>

#include "audio/effects/equalizer_control.h"
#include "audio/effects/equalizer_filter.h"
#include "audio/effects/pitch_amp_balance_control.h"
#include "audio/effects/pitch_amp_balance_filter.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

template <class T, class Face>
int32_t HandOut(RefPtr<T> object, void** out) {
  if (!object) return kErrOutOfMemory;
  *out = static_cast<Face*>(object.Detach());
  return kOk;
}

int32_t MakePitchFilter(void** out) {
  return HandOut<PitchAmpBalanceFilter, MAudioModule>(PitchAmpBalanceFilter::Make(), out);
}

int32_t CreateEqualizer(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (iid == kIID_MEqualizer || iid == kIID_MAudioModule) {
    return HandOut<EqualizerFilter, MAudioModule>(EqualizerFilter::Make(), out);
  }
  // The equalizer's class object also hands out the pitch filter asked for by its own id.
  if (iid == kIID_MPitchAmpBalance) return MakePitchFilter(out);
  if (iid == kIID_MControlObject) {
    return HandOut<EqualizerControl, MControlObject>(EqualizerControl::Make(), out);
  }
  return kErrNoInterface;
}

int32_t CreatePitchAmpBalance(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (iid == kIID_MPitchAmpBalance || iid == kIID_MAudioModule) return MakePitchFilter(out);
  if (iid == kIID_MControlObject) {
    return HandOut<PitchAmpBalanceControl, MControlObject>(PitchAmpBalanceControl::Make(), out);
  }
  return kErrNoInterface;
}

constexpr char16_t kDisplayName[] = u"Velkora 2 Built-in DSP Filters";

const ModuleClass kClasses[] = {{kEqualizerClass, kDisplayName, &CreateEqualizer},
                                {kPitchAmpBalanceClass, kDisplayName, &CreatePitchAmpBalance}};
const ModuleCategoryMember kMembers[] = {
    {kCategoryDspFilters, kEqualizerClass, u"Equalizer"},
    {kCategoryDspFilters, kPitchAmpBalanceClass, u"Pitch/Amp/Balance"},
    {kCategoryControlObjects, kEqualizerClass, u"Equalizer Control"},
    {kCategoryControlObjects, kPitchAmpBalanceClass, u"Pitch/Amp/Balance Control"},
};

}  // namespace

const ModuleDefinition kEffectsModule{kClasses, kMembers};

}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kEffectsModule)
