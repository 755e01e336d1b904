#include "markup/module/markup_factory.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/definition/interface_loader.h"
#include "markup/module/markup_utility.h"
#include "markup/window/caption.h"

namespace vk2::markup {

bool CreateMarkupInstance(const Guid& iid, void** out, int32_t* result) {
  *out = nullptr;
  if (iid == kIID_MInterfaceLoader) {
    RefPtr<InterfaceLoader> loader = InterfaceLoader::Make();
    *out = loader ? static_cast<MInterfaceLoader*>(loader.Detach()) : nullptr;
  } else if (iid == kIID_MMarkupUtility) {
    MMarkupUtility* utility = MarkupUtility();
    utility->AddRef();
    *out = utility;
  } else if (iid == kIID_MFontObject) {
    RefPtr<Caption> caption = Caption::Make();
    *out = caption ? static_cast<MTextFont*>(caption.Detach()) : nullptr;
  } else {
    return false;
  }
  *result = *out ? kOk : kErrOutOfMemory;
  return true;
}

}  // namespace vk2::markup
