#include "gui/window_base/menu_realize.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"

namespace vk2::gui {

RefPtr<MMenuWindow> NewMenuWindow() {
  return CreateRuntimeObject<MMenuWindow>(kBrintClass, kIID_MMenuWindow);
}

bool FillMenuWindow(MMenuWindow* menu, const MenuEntry& entry, bool textShadow,
                    const std::function<void(MMenuWindow*)>& dressSubmenu) {
  if (!menu) return false;
  menu->RemoveAll();
  for (const MenuEntry& child : entry.items) {
    RefPtr<MMenuItem> item = CreateRuntimeObject<MMenuItem>(kBrintClass, kIID_MMenuItem);
    if (!item) return false;
    if (child.submenu) {
      RefPtr<MMenuWindow> submenu = NewMenuWindow();
      if (!submenu || !FillMenuWindow(submenu.Get(), child, textShadow, dressSubmenu)) return false;
      if (dressSubmenu) dressSubmenu(submenu.Get());
      if (item->MakeSubmenu(child.label.c_str(), submenu.Get(), kMenuItemSubmenu, 0) != 0)
        return false;
    } else if (item->MakeCommand(child.label.c_str(), 0, child.id, 0, 0) != 0) {
      return false;
    }
    item->SetTextShadow(textShadow ? 1 : 0);
    if (menu->AddItem(item.Get()) != 0) return false;
  }
  return true;
}

}  // namespace vk2::gui
