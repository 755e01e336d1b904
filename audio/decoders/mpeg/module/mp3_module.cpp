// The decoder module vk2_audio_mp3: the MPEG audio decoder, in the decoder category.
#include <new>

#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t CreateMpegDecoderObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (!(iid == kIID_MMpegDecoder) && !(iid == kIID_MAudioModule)) return kErrNoInterface;
  auto* decoder = new (std::nothrow) MpegDecoder();
  if (!decoder) return kErrOutOfMemory;
  decoder->AddRef();
  *out = static_cast<MAudioModule*>(decoder);
  return kOk;
}

constexpr const char16_t* kName = u"Quenvale MPEG audio decoder";
const ModuleClass kClasses[] = {
    {kMpegDecoderClass, kName, &CreateMpegDecoderObject},
};
const ModuleCategoryMember kMembers[] = {
    {kCategoryDecoders, kMpegDecoderClass, kName},
};
const ModuleDefinition kModule{kClasses, kMembers};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
