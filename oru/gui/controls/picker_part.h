// The picker part: a button whose click opens its items as a popup list under it (a host of
// its own, always on top). In the list the pointer highlights, a click chooses; Up/Down move the
// highlight, Enter chooses, Escape closes; a press anywhere else closes it. With the list
// closed Up/Down change the current item at once. Each choice by the user sets the current
// item and is told as 0x101 with its index.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/button_behaviour.h"
#include "oru/gui/controls/item_list_object.h"
#include "oru/gui/host/host_window_object.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class PickerMenuPart;

class PickerPart final : public WindowPartOf<PickerPart, MPicker, kIID_MPicker, kIID_MButton> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  // MButton
  int32_t SetLogicState(uint32_t state, int32_t notify) override {
    return button_.SetLogicState(state, notify);
  }
  int32_t GetLogicState() override { return button_.GetLogicState(); }
  int32_t SetStateCount(int32_t count) override { return button_.SetStateCount(count); }
  int32_t SetRepeatDelay(int32_t delayMs) override { return button_.SetRepeatDelay(delayMs); }
  int32_t GetStateCount() override { return button_.GetStateCount(); }
  int32_t GetRepeatDelay() override { return button_.GetRepeatDelay(); }
  int32_t GetChecked() override { return button_.GetChecked(); }
  int32_t SetChecked(int32_t checked) override { return button_.SetChecked(checked); }
  int32_t GetVisualState() override { return button_.GetVisualState(); }
  // MPicker
  int32_t GetItems(MItemList** out) override;
  int32_t ItemsChanged() override;
  int32_t GetCurrent() override { return current_; }
  int32_t SetCurrent(int32_t index) override;
  int32_t OpenMenu() override;
  int32_t CloseMenu() override;
  int32_t PaintMenuBackground(MWindowElement* menu, MCanvas* canvas, uintptr_t unused) override;
  MWindowElement* MenuWindow() override;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnHitCode(PointI point) override;
  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

  // From the popup list.
  MItemList* Items() const { return items_.Get(); }
  void Choose(int32_t index);
  RefPtr<MPicker> Face();

 private:
  explicit PickerPart(MUnknown* outer);
  ~PickerPart() override;
  void OnItemsChanged(const ItemListChange& change);
  bool Key(const KeyEvent& key);

  ButtonBehaviour button_;
  RefPtr<ItemListObject> items_;
  int32_t current_ = -1;
  RefPtr<HostWindowObject> popup_;
  PickerMenuPart* menu_ = nullptr;  // the popup's root (its host holds it)
  bool justDismissed_ = false;      // a press elsewhere closed the list this loop turn
  bool reopenBlocked_ = false;      // ... and that press was on the picker
};

// The popup list's root part: draws the menu background (the picker's callback) and the
// items, highlights under the pointer, chooses on a click.
class PickerMenuPart final : public WindowPartOf<PickerMenuPart, MWindowElement> {
 public:
  static RefPtr<PickerMenuPart> Make(PickerPart* picker);

  int32_t Highlight() const { return highlight_; }
  void SetHighlight(int32_t index);
  void Forget() { picker_ = nullptr; }

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit PickerMenuPart(PickerPart* picker) : WindowPartOf(nullptr), picker_(picker) {}
  ~PickerMenuPart() override = default;
  int32_t IndexAt(PointI point) const;

  PickerPart* picker_;
  int32_t highlight_ = -1;
};

}  // namespace vk2::gui
