#include "markup/module/markup_factory.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/definition/interface_loader.h"

namespace vk2::markup {

bool CreateMarkupInstance(const Guid& iid, void** out, int32_t* result) {
  if (iid != kIID_MInterfaceLoader) return false;
  RefPtr<InterfaceLoader> loader = InterfaceLoader::Make();
  *out = loader ? static_cast<MInterfaceLoader*>(loader.Detach()) : nullptr;
  *result = *out ? kOk : kErrOutOfMemory;
  return true;
}

}  // namespace vk2::markup
