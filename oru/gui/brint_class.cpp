#include "oru/gui/brint_class.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/gui/loop/app_object.h"
#include "oru/gui/loop/input_settings_object.h"
#include "oru/gui/menus/menu_item.h"
#include "oru/gui/menus/menu_window.h"
#include "oru/gui/window/dock_point_object.h"

namespace vk2::gui {

int32_t CreateBrintObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  for (int32_t i = 0; i < kBrintPartCount; ++i) {
    if (*kBrintPartTable[i].iid == iid) return kBrintPartTable[i].create(outer, iid, out);
  }
  // The rest are not parts: nothing aggregates them.
  if (outer) return kErrNoInterface;
  if (iid == kIID_MOmbrixApp) return AppObject::Instance().QueryInterface(iid, out, 1, 0);
  if (iid == kIID_MInputSettings) {
    return InputSettingsObject::Instance().QueryInterface(iid, out, 1, 0);
  }
  if (iid == kIID_MDockPoint) {
    RefPtr<MDockPoint> point;
    const int32_t r = DockPointObject::Create(&point);
    if (r == 0) *out = point.Detach();
    return r;
  }
  if (iid == kIID_MMenuItem) return (new MenuItem)->QueryInterface(iid, out, 1, 0);
  if (iid == kIID_MMenuWindow) return MenuWindowObject::Make()->QueryInterface(iid, out, 1, 0);
  return kErrNoInterface;
}

}  // namespace vk2::gui
