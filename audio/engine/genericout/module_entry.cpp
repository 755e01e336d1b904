// vk2_audio_genericout: the generic output endpoint's module entry points. Device libraries
// make endpoints of this class and hand each a new device.
#include <new>

#include "audio/engine/genericout/generic_output.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

int32_t CreateGenericOutput(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer || !(iid == kIID_AudioEndpoint)) return kErrNoInterface;
  RefPtr<GenericOutput> endpoint = GenericOutput::Create();
  if (!endpoint) return kErrOutOfMemory;
  *out = static_cast<AudioEndpoint*>(endpoint.Detach());
  return kOk;
}

const ModuleClass kClasses[] = {
    {kGenericOutputClass, u"Generic Output", &CreateGenericOutput},
};
const ModuleDefinition kModule{kClasses};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
