// Forwards every operation of a list view window to the GUI layer's list view part behind it.
// A wrapper derives from it and overrides what it handles itself (its callbacks, keys).
#pragma once

#include "component/window/forwarding_window.h"
#include "interfaces/gui/list_view.h"

namespace vk2::gui {

class ListViewForwarder : public ForwardingWindowOf<MPlaylistView> {
 protected:
  // The part's face (no reference: the wrapper holds the part's inner unknown).
  MPlaylistView* part_ = nullptr;
  MWindowElement* Behind() override { return part_; }

 public:
  int32_t RowCount() override { return part_->RowCount(); }
  int32_t GetRows(int32_t index, int32_t count, MListViewRow** out) override {
    return part_->GetRows(index, count, out);
  }
  int32_t ReplaceRows(int32_t index, MListViewRow* const* rows, int32_t count) override {
    return part_->ReplaceRows(index, rows, count);
  }
  int32_t SetRows(MListViewRow* const* rows, int32_t count) override {
    return part_->SetRows(rows, count);
  }
  int32_t InsertRows(int32_t index, MListViewRow* const* rows, int32_t count) override {
    return part_->InsertRows(index, rows, count);
  }
  int32_t RemoveRows(int32_t index, int32_t count) override {
    return part_->RemoveRows(index, count);
  }
  int32_t MoveRows(int32_t destination, int32_t source, int32_t count) override {
    return part_->MoveRows(destination, source, count);
  }
  int32_t IndexOfId(uint32_t id) override { return part_->IndexOfId(id); }
  int32_t RemoveAllRows() override { return part_->RemoveAllRows(); }
  int32_t ColumnCount() override { return part_->ColumnCount(); }
  int32_t AddColumn(MListViewColumn* column) override { return part_->AddColumn(column); }
  int32_t ColumnWidth(int32_t index) override { return part_->ColumnWidth(index); }
  int32_t SetColumnWidth(int32_t index, int32_t width) override {
    return part_->SetColumnWidth(index, width);
  }
  int32_t GetSelection(uint32_t* out, int32_t capacity) override {
    return part_->GetSelection(out, capacity);
  }
  int32_t IsSelected(uint32_t id) override { return part_->IsSelected(id); }
  int32_t SetSelection(const uint32_t* ids, int32_t count) override {
    return part_->SetSelection(ids, count);
  }
  int32_t SelectAll() override { return part_->SelectAll(); }
  uint32_t GetCurrentId() override { return part_->GetCurrentId(); }
  int32_t CurrentIndex() override { return part_->CurrentIndex(); }
  int32_t SetCurrentId(uint32_t id) override { return part_->SetCurrentId(id); }
  int32_t GetTopRow() override { return part_->GetTopRow(); }
  int32_t SetTopRow(int32_t top) override { return part_->SetTopRow(top); }
  int32_t PageRows() override { return part_->PageRows(); }
  int32_t RowAtPoint(const PointI* point) override { return part_->RowAtPoint(point); }
  int32_t InvalidateRows(int32_t first, int32_t end) override {
    return part_->InvalidateRows(first, end);
  }
  MWindowElement* ScrollTarget() override { return part_->ScrollTarget(); }
  int32_t ScrollToShow(uint32_t id) override { return part_->ScrollToShow(id); }
  int32_t ScrollToEdge(uint32_t id, int32_t bottom) override {
    return part_->ScrollToEdge(id, bottom);
  }
  int32_t DropRows(MListViewRow* const* rows, int32_t count, int32_t target) override {
    return part_->DropRows(rows, count, target);
  }
  int32_t DrawHeaderBackground(MCanvas* canvas, const RectI* rect) override {
    return part_->DrawHeaderBackground(canvas, rect);
  }
  int32_t DrawContentBackground(MCanvas* canvas, const RectI* rect) override {
    return part_->DrawContentBackground(canvas, rect);
  }
  int32_t DrawHeaderDropHint(MCanvas* canvas, const RectI* rect) override {
    return part_->DrawHeaderDropHint(canvas, rect);
  }
  int32_t DrawItemDropHint(MCanvas* canvas, const RectI* rect) override {
    return part_->DrawItemDropHint(canvas, rect);
  }
  int32_t ContentRedrawMode() override { return part_->ContentRedrawMode(); }
  int32_t HeaderBackgroundRedrawMode() override { return part_->HeaderBackgroundRedrawMode(); }
  int32_t HeaderRedrawMode() override { return part_->HeaderRedrawMode(); }
  int32_t SelectionChanged() override { return part_->SelectionChanged(); }
  int32_t CurrentChanged() override { return part_->CurrentChanged(); }
  int32_t LoadState(MPreferenceStore* section) override { return part_->LoadState(section); }
  int32_t SaveState(MPreferenceStore* section) override { return part_->SaveState(section); }
  int32_t SearchMatched(int32_t row) override { return part_->SearchMatched(row); }
};

}  // namespace vk2::gui
