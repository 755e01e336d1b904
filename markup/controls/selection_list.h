// The selection list (`MML_SelectionList`, window type `SelectionList`): a scrollable list of
// caption items over the GUI layer's selection-list part, with a vertical and a horizontal
// scroll bar along its right and bottom edges. The part lays out, scrolls and selects; the
// control makes the items, reads their looks from the markup, paints the background, fires
// `OnItemSelected` and publishes the list to scripts.
#pragma once

#include <cstdint>

#include "interfaces/gui/controls.h"
#include "markup/controls/control_base.h"
#include "markup/controls/item_methods.h"
#include "markup/controls/item_styles.h"

namespace vk2::markup {

class SelectionList final : public MarkupWindow, private ItemOwner {
 public:
  explicit SelectionList(MUnknown* controlling);
  ~SelectionList() override;

  // The part's MSelectionList (no reference), or null.
  MSelectionList* ListPart();
  // The scroll bars (no reference), or null.
  MWindowElement* VerticalBar() const { return bars_[0].Get(); }
  MWindowElement* HorizontalBar() const { return bars_[1].Get(); }
  int32_t NextIdentifier() const { return nextId_; }

  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HitCode(const PointI* point) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t HasNoLook() override { return 0; }
  void LoadProperties(MInterfaceDefinition* iface) override;

  // ItemOwner.
  RefPtr<MItemList> ItemList() override;
  RefPtr<ListItem> NewItem(const TString& text, MScriptObject* data) override;
  void ItemReplaced(int32_t index) override;
  void ItemsChanged() override {}

 protected:
  void SetUpControl() override;
  MUnknown* QueryMore(const Guid& iid) override;

 private:
  class Face final : public ElementFace<MSelectionList> {
   public:
    explicit Face(SelectionList* owner);
    int32_t ItemIndex(uintptr_t argument) override;
    int32_t GetItems(MItemList** out) override;
    int32_t IsSelected(int32_t index) override;
    int32_t SetSelected(int32_t index, int32_t selected) override;
    int32_t ItemChanged(int32_t index) override;
    int32_t SetMultiple(int32_t multiple) override;
    int32_t GetCurrent() override;
    int32_t ScrollToShow(int32_t index) override;
    int32_t GetTop() override;

   private:
    SelectionList* list_;
  };

  void MakeScrollBars();
  void AttachScrollBars();

  Face face_;
  MSelectionList* part_ = nullptr;
  RefPtr<MImageStyleDrawing> background_;
  ItemLookSet looks_[2];  // off (every item), on (drawn over a selected item)
  int32_t fadeDuration_ = 0;
  bool textShadow_ = true;
  RefPtr<MWindowElement> bars_[2];
  int32_t nextId_ = 1;
};

}  // namespace vk2::markup
