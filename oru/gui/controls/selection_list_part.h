// The selection list part: the caller's items in rows, an ItemSelection over them (single or
// multiple choice), scrolled by its top row, which its scroll bars read through the scroll
// queries. A click picks (Ctrl toggles, Shift extends), keys step and page, the wheel scrolls;
// each pick by the user is told as 0x101 with the current item's index.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/item_list_object.h"
#include "oru/gui/controls/item_selection.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class SelectionListPart final
    : public WindowPartOf<SelectionListPart, MSelectionList, kIID_MSelectionList> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t ItemIndex(uintptr_t argument) override;
  int32_t GetItems(MItemList** out) override;
  int32_t IsSelected(int32_t index) override;
  int32_t SetSelected(int32_t index, int32_t selected) override;
  int32_t ItemChanged(int32_t index) override;
  int32_t SetMultiple(int32_t multiple) override;
  int32_t GetCurrent() override;
  int32_t ScrollToShow(int32_t index) override;
  int32_t GetTop() override;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnHitCode(PointI point) override;
  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit SelectionListPart(MUnknown* outer);
  ~SelectionListPart() override;

  void OnItemsChanged(const ItemListChange& change);
  // The page from the window's height and the rows' height.
  void UpdatePage();
  int32_t IndexAt(PointI point);
  void SetTopRow(int32_t top);
  // After a pick by the user: repaint, scroll bars, 0x101.
  void Chosen();
  bool Key(const KeyEvent& key);

  RefPtr<ItemListObject> items_;
  ItemSelection selection_;
  int32_t hover_ = -1;
};

}  // namespace vk2::gui
