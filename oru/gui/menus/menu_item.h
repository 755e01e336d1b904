// A menu item: a command (with an id), a submenu (with its menu window) or a separator. Made
// blank and set up once by its maker.
#pragma once

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/menus.h"
#include "interfaces/ids.h"

namespace vk2 {

class MenuItem final : public ComObject<MenuItem, Face<MMenuItem, kIID_MMenuItem>> {
 public:
  MenuItemKind GetKind() override { return kind_; }
  int32_t GetLabel(TString* label) override;
  int32_t GetId() override { return id_; }
  uint32_t GetFlags() override { return flags_; }
  int32_t GetSubmenu(MMenuWindow** out) override;
  int32_t MakeSubmenu(const char16_t* label, MMenuWindow* submenu, uint32_t flags,
                      uint32_t reserved) override;
  int32_t MakeCommand(const char16_t* label, uint32_t reserved, int32_t id, uint32_t flags,
                      uint32_t reserved2) override;
  int32_t SetTextShadow(int32_t shadow) override;
  int32_t GetTextShadow() override { return shadow_ ? 1 : 0; }
  int32_t SetFlags(uint32_t flags) override;

 private:
  MenuItemKind kind_ = MenuItemKind::kNone;
  TString label_;
  int32_t id_ = -1;
  uint32_t flags_ = 0;
  bool shadow_ = false;
  RefPtr<MMenuWindow> submenu_;
};

// A label as shown ("&&" -> "&", a single "&" dropped) and its mnemonic: the letter after the
// single "&", folded to lower case, or 0.
struct MenuLabel {
  TString shown;
  char16_t mnemonic = 0;
};
MenuLabel ParseMenuLabel(const TString& label);

}  // namespace vk2
