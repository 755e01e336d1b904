// The Ogg Vorbis decoder module vk2_audio_ogg.
#include <new>

#include "audio/decoders/ogg/ogg_decoder.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t CreateOggDecoder(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (!(iid == kIID_MOggDecoder) && !(iid == kIID_MAudioModule)) return kErrNoInterface;
  auto* decoder = new (std::nothrow) OggVorbisDecoder();
  if (!decoder) return kErrOutOfMemory;
  decoder->AddRef();
  *out = static_cast<MAudioModule*>(decoder);
  return kOk;
}

const ModuleClass kClasses[] = {{kOggDecoderClass, u"Ogg Vorbis codec", &CreateOggDecoder}};
const ModuleCategoryMember kMembers[] = {
    {kCategoryDecoders, kOggDecoderClass, u"Ogg Vorbis codec"}};
const ModuleDefinition kModule{kClasses, kMembers};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
