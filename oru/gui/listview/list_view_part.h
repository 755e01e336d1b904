// The list view part (MPlaylistView): a ListViewModel drawn as a header over rows of cells,
// and the pointer, wheel and keys routed to it: clicks pick rows (Ctrl toggles, Shift extends,
// both add the range), a drag of selected rows moves them, arrows and pages step the current
// row, a double click or Enter activates it, a drag on a header edge resizes columns.
#pragma once

#include <unordered_map>

#include "interfaces/gui/list_view.h"
#include "oru/gui/listview/list_view_model.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

inline constexpr int32_t kDefaultListRowHeight = 16;
inline constexpr int32_t kDefaultListHeaderHeight = 18;
inline constexpr int32_t kDragThreshold = 4;   // pixels before a press becomes a drag
inline constexpr int32_t kColumnEdgeSlop = 3;  // pixels either side of a header edge

class ListViewPart final : public WindowPartOf<ListViewPart, MPlaylistView, kIID_MPlaylistView> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t RowCount() override { return model_.RowCount(); }
  int32_t GetRows(int32_t index, int32_t count, MListViewRow** out) override;
  int32_t ReplaceRows(int32_t index, MListViewRow* const* rows, int32_t count) override;
  int32_t SetRows(MListViewRow* const* rows, int32_t count) override;
  int32_t InsertRows(int32_t index, MListViewRow* const* rows, int32_t count) override;
  int32_t RemoveRows(int32_t index, int32_t count) override;
  int32_t MoveRows(int32_t destination, int32_t source, int32_t count) override;
  int32_t IndexOfId(uint32_t id) override { return model_.IndexOfId(id); }
  int32_t RemoveAllRows() override;
  int32_t ColumnCount() override { return model_.ColumnCount(); }
  int32_t AddColumn(MListViewColumn* column) override;
  int32_t ColumnWidth(int32_t index) override;
  int32_t SetColumnWidth(int32_t index, int32_t width) override;
  int32_t GetSelection(uint32_t* out, int32_t capacity) override;
  int32_t IsSelected(uint32_t id) override { return model_.IsSelected(id) ? 1 : 0; }
  int32_t SetSelection(const uint32_t* ids, int32_t count) override;
  int32_t SelectAll() override;
  uint32_t GetCurrentId() override { return model_.GetCurrentId(); }
  int32_t CurrentIndex() override { return model_.CurrentIndex(); }
  int32_t SetCurrentId(uint32_t id) override;
  int32_t GetTopRow() override { return model_.TopRow(); }
  int32_t SetTopRow(int32_t top) override;
  int32_t PageRows() override;
  int32_t RowAtPoint(const PointI* point) override;
  int32_t InvalidateRows(int32_t first, int32_t end) override;
  MWindowElement* ScrollTarget() override { return Outer(); }
  int32_t ScrollToShow(uint32_t id) override;
  int32_t ScrollToEdge(uint32_t id, int32_t bottom) override;
  int32_t DropRows(MListViewRow* const* rows, int32_t count, int32_t target) override;
  int32_t DrawHeaderBackground(MCanvas* canvas, const RectI* rect) override;
  int32_t DrawContentBackground(MCanvas* canvas, const RectI* rect) override;
  int32_t DrawHeaderDropHint(MCanvas* canvas, const RectI* rect) override;
  int32_t DrawItemDropHint(MCanvas* canvas, const RectI* rect) override;
  int32_t ContentRedrawMode() override { return 0; }
  int32_t HeaderBackgroundRedrawMode() override { return 0; }
  int32_t HeaderRedrawMode() override { return 0; }
  int32_t SelectionChanged() override { return 0; }
  int32_t CurrentChanged() override { return 0; }
  int32_t LoadState(MPreferenceStore* section) override;
  int32_t SaveState(MPreferenceStore* section) override { return model_.SaveState(section); }
  int32_t SearchMatched(int32_t row) override;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnHitCode(PointI point) override;
  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

  // The drop row a drag would move to now (-1 with no drag).
  int32_t DropTarget() const { return dragging_ ? dropRow_ : -1; }

 private:
  explicit ListViewPart(MUnknown* outer) : WindowPartOf(outer), ear_(this), model_(&ear_) {}
  ~ListViewPart() override = default;

  // The model's changes, passed on to the wrapper's callbacks (73, 74) with a repaint.
  class Ear final : public ListViewObserver {
   public:
    explicit Ear(ListViewPart* part) : part_(part) {}
    void SelectionChanged() override;
    void CurrentChanged() override;

   private:
    ListViewPart* part_;
  };

  RefPtr<MPlaylistView> Face();
  int32_t RowHeight() const;
  int32_t HeaderHeight() const;
  // Rows changed: page, repaint, scroll bars.
  void RowsChanged();
  // The row boundary nearest `y` for a drop: 0 to the row count.
  int32_t DropRowAt(int32_t y);
  // The drop hint's line at the top of `dropRow`.
  RectI DropHintRect(int32_t dropRow);
  // The header edge near `x` (the column to its left), or -1.
  int32_t ColumnEdgeAt(int32_t x);
  RectI ContentRect() const;
  RectI RowRect(int32_t index);
  // Repaints `changed` and, by the redraw modes (70 to 72), the areas that repaint whole.
  void InvalidateChanged(const RectI& changed);
  // The selection or the current row changed: repaints the shown rows whose state differs
  // from what was painted.
  void StatesChanged();
  uint32_t RowState(uint32_t id, uint32_t currentId);
  bool Key(const KeyEvent& key);
  void Activate(int32_t index);

  Ear ear_;
  ListViewModel model_;
  bool pressed_ = false;
  bool dragging_ = false;
  bool pickOnRelease_ = false;  // a plain press on a selected row picks it alone on release
  int32_t pressRow_ = -1;
  PointI pressPoint_;
  int32_t dropRow_ = -1;
  int32_t resizing_ = -1;  // the column whose right edge is dragged
  int32_t resizeStartWidth_ = 0;
  // Row state (selected, current) by identifier as last painted; loop thread only.
  std::unordered_map<uint32_t, uint32_t> paintedStates_;
};

}  // namespace vk2::gui
