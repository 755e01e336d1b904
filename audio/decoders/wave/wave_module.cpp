// The WAVE decoder module vk2_audio_wave.
#include <new>

#include "audio/decoders/wave/wave_decoder.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t CreateWaveDecoder(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (!(iid == kIID_MWavDecoder) && !(iid == kIID_MAudioModule)) return kErrNoInterface;
  auto* decoder = new (std::nothrow) WaveDecoder();
  if (!decoder) return kErrOutOfMemory;
  decoder->AddRef();
  *out = static_cast<MAudioModule*>(decoder);
  return kOk;
}

const ModuleClass kClasses[] = {{kWavDecoderClass, u"WAV decoder", &CreateWaveDecoder}};
const ModuleCategoryMember kMembers[] = {{kCategoryDecoders, kWavDecoderClass, u"WAV decoder"}};
const ModuleDefinition kModule{kClasses, kMembers};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
