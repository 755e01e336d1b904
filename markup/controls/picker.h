// The picker (`MML_Picker`, window type `Picker`): a drop-down list over the GUI layer's picker
// part. Closed it shows the current item over the picker background; opened, every item over
// the menu background. The part opens, tracks and chooses; the control makes the items, paints
// the two backgrounds, fires `OnItemSelected` and publishes the items to scripts.
#pragma once

#include <cstdint>

#include "interfaces/gui/controls.h"
#include "markup/controls/button_slots_face.h"
#include "markup/controls/control_base.h"
#include "markup/controls/item_methods.h"
#include "markup/controls/item_styles.h"

namespace vk2::markup {

class Picker final : public MarkupWindow, private ItemOwner {
 public:
  explicit Picker(MUnknown* controlling);

  // The part's MPicker (no reference), or null.
  MPicker* PickerPart();
  int32_t NextIdentifier() const { return nextId_; }

  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HitCode(const PointI* point) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t HasNoLook() override { return 0; }
  void LoadProperties(MInterfaceDefinition* iface) override;

  // The callback of MPicker: the menu background.
  int32_t PaintMenuBackground(MWindowElement* menu, MCanvas* canvas);

  // ItemOwner.
  RefPtr<MItemList> ItemList() override;
  RefPtr<ListItem> NewItem(const TString& text, MScriptObject* data) override;
  void ItemReplaced(int32_t index) override;
  void ItemsChanged() override;

 protected:
  void SetUpControl() override;
  MUnknown* QueryMore(const Guid& iid) override;

 private:
  class Face final : public ButtonSlotsFace<MPicker> {
   public:
    explicit Face(Picker* owner);
    int32_t GetItems(MItemList** out) override;
    int32_t ItemsChanged() override;
    int32_t GetCurrent() override;
    int32_t SetCurrent(int32_t index) override;
    int32_t OpenMenu() override;
    int32_t CloseMenu() override;
    int32_t PaintMenuBackground(MWindowElement* menu, MCanvas* canvas, uintptr_t unused) override;
    MWindowElement* MenuWindow() override;

   protected:
    MPicker* ButtonPart() override;

   private:
    Picker* picker_;
  };

  void RemoveAllItems();

  Face face_;
  MPicker* part_ = nullptr;
  RefPtr<MImageStyleDrawing> menuBackground_, pickerBackground_;
  ItemLookSet looks_;
  int32_t fadeDuration_ = 0;
  bool textShadow_ = true;
  int32_t nextId_ = 1;
};

}  // namespace vk2::markup
