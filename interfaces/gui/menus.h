// Menu windows and their items. A menu item is made from kBrintControlsClass with
// kIID_MMenuItem and set up once as a command or a submenu; a menu window (kBrintControlsClass
// with kIID_MBrintWindow) holds items in order. Placed in a window tree, a menu window draws as
// a bar; opened (Popup or from a bar), as a drop-down on a host of its own.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MMenuWindow;
class MWindowElement;
struct PointI;

// Item flags.
inline constexpr uint32_t kMenuItemDisabled = 0x1;
inline constexpr uint32_t kMenuItemChecked = 0x8;
inline constexpr uint32_t kMenuItemSeparator = 0x800;
inline constexpr uint32_t kMenuItemSubmenu = 0x8000000;

enum class MenuItemKind : int32_t { kNone = 0, kCommand = 1, kSubmenu = 2, kSeparator = 3 };

// Window properties a menu window's element reads when it paints and opens (all optional).
// Images are interface properties whose object is an MImageStyleDrawing (as its MUnknown).
inline constexpr char16_t kPropMenuBackground[] = u"menu_background";  // integer ARGB fill
inline constexpr char16_t kPropMenuImage[] = u"menu_image";            // drawn over the fill
// Behind each item by its place: the only item, the first, a middle one, the last.
inline constexpr const char16_t* kPropMenuItemImages[4] = {u"menu_item_only", u"menu_item_first",
                                                           u"menu_item_middle", u"menu_item_last"};
inline constexpr char16_t kPropMenuText[] = u"font_color1";       // integer ARGB: labels
inline constexpr char16_t kPropMenuLitText[] = u"font_color2";    // the highlighted label
inline constexpr char16_t kPropMenuHighlight[] = u"font_color3";  // the highlighted item's fill
// "fade_duration" (integer ms): a drop-down fades in over it when it opens.

// Notification a menu window sends to the window that owns its root menu when a command item
// is chosen; the argument is the item's id.
inline constexpr uint32_t kNotifyMenuCommand = 257;

class MMenuItem : public MUnknown {
 public:
  virtual MenuItemKind GetKind() = 0;            // 3
  virtual int32_t GetLabel(TString* label) = 0;  // 4
  virtual int32_t GetId() = 0;                   // 5
  virtual uint32_t GetFlags() = 0;               // 6
  // 7: the submenu with a reference, or kErrNotFound.
  virtual int32_t GetSubmenu(MMenuWindow** out) = 0;
  // 8: makes this a submenu item (the submenu window is held with a reference).
  virtual int32_t MakeSubmenu(const char16_t* label, MMenuWindow* submenu, uint32_t flags,
                              uint32_t reserved) = 0;
  // 9: makes this a command item; with kMenuItemSeparator in `flags` a separator.
  virtual int32_t MakeCommand(const char16_t* label, uint32_t reserved, int32_t id, uint32_t flags,
                              uint32_t reserved2) = 0;
  // 10: draws the label with a shadow.
  virtual int32_t SetTextShadow(int32_t shadow) = 0;
  virtual int32_t GetTextShadow() = 0;  // 11
  // 12: changes the flags kept (enabled, checked) after set-up.
  virtual int32_t SetFlags(uint32_t flags) = 0;

 protected:
  ~MMenuItem() = default;
};

class MMenuWindow : public MUnknown {
 public:
  // 3: opens as a drop-down at `screen` and waits (serving the loop) until an item is chosen
  // or the menu is dismissed; `*chosen` gets the command id, or -1.
  virtual int32_t Popup(const PointI* screen, MWindowElement* owner, int32_t* chosen) = 0;
  // 4: appends an item (held with a reference).
  virtual int32_t AddItem(MMenuItem* item) = 0;
  // 5: inserts an item before `index` (the count appends).
  virtual int32_t InsertItem(int32_t index, MMenuItem* item) = 0;
  virtual int32_t ItemCount() = 0;  // 6
  // 7: removes every item.
  virtual int32_t RemoveAll() = 0;
  // 8: the item at `index` with a reference.
  virtual int32_t GetItem(int32_t index, MMenuItem** out) = 0;
  // 9: the window part that draws the menu (no reference).
  virtual MWindowElement* Element() = 0;

 protected:
  ~MMenuWindow() = default;
};

}  // namespace vk2
