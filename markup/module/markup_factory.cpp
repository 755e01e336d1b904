#include "markup/module/markup_factory.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/controls/scroll_bar_control.h"
#include "markup/controls/scroll_bar_style.h"
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
  } else if (iid == kScrollBarClass || iid == kScrollBarAltClass) {
    RefPtr<MScrollBar> bar = ScrollBarControl::Make(iid == kScrollBarAltClass);
    *out = bar.Detach();
  } else if (iid == kScrollBarStyleClass) {
    RefPtr<ScrollBarStyle> style = ScrollBarStyle::Make();
    *out = style ? static_cast<MScrollBarStyle*>(style.Detach()) : nullptr;
  } else {
    return false;
  }
  *result = *out ? kOk : kErrOutOfMemory;
  return true;
}

}  // namespace vk2::markup
