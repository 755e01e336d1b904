// Menu windows: a MenuModel with the window part that shows it. Placed in a window tree the
// part is a menu bar; opened (Popup, a bar's submenu, a submenu of a drop-down) it is a
// drop-down on a host of its own with a shadow, always on top. The drop-downs open at one time
// form a chain from the first to the deepest; keys go to the deepest, a press outside the
// chain closes it, a command closes it and tells the owner (257 with the id).
#pragma once

#include <vector>

#include "component/object/com_object.h"
#include "interfaces/gui/menus.h"
#include "interfaces/ids.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/menus/menu_model.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class MenuWindowObject;

inline constexpr int32_t kMenuShadow = 3;  // pixels right of and below a drop-down
inline constexpr uint32_t kMenuBackground = 0xFFF0F0F0;
inline constexpr uint32_t kMenuHighlight = 0xFF3366CC;
inline constexpr uint32_t kMenuText = 0xFF000000;
inline constexpr uint32_t kMenuTextHighlighted = 0xFFFFFFFF;
inline constexpr uint32_t kMenuTextDisabled = 0xFF909090;
inline constexpr uint32_t kMenuFrame = 0xFF808080;
inline constexpr uint32_t kMenuShadowColor = 0x60000000;

class MenuPart final : public WindowPartOf<MenuPart, MWindowElement> {
 public:
  static RefPtr<MenuPart> Make(MenuWindowObject* menu);

  // Opens as a drop-down with its top-left at `screen`; `parent` is the menu it opens from
  // (a bar or a drop-down; null for a popup), `owner` hears of commands.
  bool OpenAt(PointI screen, MenuPart* parent, MWindowElement* owner);
  // Closes this drop-down and those opened from it.
  void CloseLevel();
  // Closes the whole chain this drop-down belongs to; `chosen` is the command id or -1.
  void CloseChain(int32_t chosen);
  bool IsOpen() const { return popupHost_ != nullptr; }
  MenuPart* OpenChild() const { return child_; }
  HostWindowObject* PopupHost() const { return popupHost_.Get(); }
  // The item rectangles, in window coordinates.
  std::vector<RectI> Layout() const;
  void Forget() { menu_ = nullptr; }

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit MenuPart(MenuWindowObject* menu) : WindowPartOf(nullptr), menu_(menu) {}
  ~MenuPart() override = default;

  MenuModel* Model() const;
  bool IsBar() const { return !popupHost_; }
  MenuPart* Deepest();
  // Runs the highlighted item: a command closes the chain and tells the owner; a submenu
  // opens beside (or under, from a bar) its item.
  void ChooseHighlighted();
  void OpenSubmenu(int32_t index);
  bool Key(const KeyEvent& key);
  // A bar's own keys, with no drop-down open from it.
  bool BarKey(const KeyEvent& key);
  // From a drop-down opened from the bar: Left (-1) or Right (+1) opens the neighbour title's.
  void SwitchTitle(int32_t direction);
  // Opens the bar's highlighted title from the keyboard: a drop-down with its first item lit.
  void OpenTitleByKey();
  // A bar takes the keyboard on a press and gives it back (to the part that had it) on leaving.
  void TakeKeyboard();
  void LeaveBar();
  void Highlight(int32_t index);

  MenuWindowObject* menu_;  // the window object that owns this part (it outlives the part's use)
  RefPtr<HostWindowObject> popupHost_;
  MenuPart* parent_ = nullptr;
  MenuPart* child_ = nullptr;
  RefPtr<MWindowElement> owner_;
  RefPtr<MWindowElement> focusBefore_;  // a bar: the part that had the keyboard before it
};

class MenuWindowObject final
    : public ComObject<MenuWindowObject, Face<MMenuWindow, kIID_MMenuWindow>> {
 public:
  static RefPtr<MenuWindowObject> Make();

  int32_t Popup(const PointI* screen, MWindowElement* owner, int32_t* chosen) override;
  int32_t AddItem(MMenuItem* item) override;
  int32_t InsertItem(int32_t index, MMenuItem* item) override;
  int32_t ItemCount() override { return model_.Count(); }
  int32_t RemoveAll() override;
  int32_t GetItem(int32_t index, MMenuItem** out) override;
  MWindowElement* Element() override { return part_->Self(); }

  MenuModel& Model() { return model_; }
  MenuPart* Part() { return part_.Get(); }
  // The chain opened by Popup ended.
  void Finished(int32_t chosen);

 private:
  MenuWindowObject();
  ~MenuWindowObject() override;

  MenuModel model_;
  RefPtr<MenuPart> part_;
  int32_t popupDone_ = 0;
  int32_t popupChosen_ = -1;
  bool inPopup_ = false;
};

// The menu window behind a menu window's face (ours), or null.
MenuWindowObject* MenuWindowOf(MMenuWindow* window);

}  // namespace vk2::gui
