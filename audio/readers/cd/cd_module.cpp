// The reader module vk2_audio_cd_extractor: the CD reader alone.
#include <new>

#include "audio/readers/cd/cd_extractor.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t CreateCdExtractorObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (!(iid == kIID_MStreamReader) && !(iid == kIID_MAudioModule)) return kErrNoInterface;
  auto* reader = new (std::nothrow) CDExtractor();
  if (!reader) return kErrOutOfMemory;
  reader->AddRef();
  *out = static_cast<MStreamReader*>(reader);
  return kOk;
}

const ModuleClass kClasses[] = {
    {kCDExtractorClass, u"CD Digital Audio Reader", &CreateCdExtractorObject},
};
const ModuleCategoryMember kMembers[] = {
    {kCategoryStreamReaders, kCDExtractorClass, u"CD Digital Audio Reader"},
};
const ModuleDefinition kModule{kClasses, kMembers};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
