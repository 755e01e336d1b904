// The list view (MPlaylistView): a window part showing the caller's rows (MListViewRow) in
// columns (MListViewColumn) under a header, with a selection of identifiers, a current row,
// scrolling, drag-moving and state kept in a preference section. Slots 65 to 74 are callbacks a
// wrapper overrides; the part answers them itself when it stands alone. Codes and behaviour in
// oru/gui/CONTROLS.md.
#pragma once

#include <cstdint>

#include "interfaces/gui/list_view_items.h"
#include "interfaces/gui/window_element.h"

namespace vk2 {

class MPreferenceStore;

inline constexpr char16_t kPropRowHeight[] = u"rowheight";        // integer: pixels (16)
inline constexpr char16_t kPropHeaderHeight[] = u"headerheight";  // integer: pixels (18), 0 none

// A redraw mode (slots 70 to 72): the area repaints whole whenever the view repaints.
inline constexpr int32_t kListRedrawWhole = 4;

class MPlaylistView : public MWindowElement {
 public:
  // ---- rows, in display order from 0; a bad range changes nothing and answers false (0) ----
  virtual int32_t RowCount() = 0;  // 37
  // 38: `count` rows from `index` into `out`, each with a reference.
  virtual int32_t GetRows(int32_t index, int32_t count, MListViewRow** out) = 0;
  virtual int32_t ReplaceRows(int32_t index, MListViewRow* const* rows, int32_t count) = 0;  // 39
  virtual int32_t SetRows(MListViewRow* const* rows, int32_t count) = 0;                     // 40
  virtual int32_t InsertRows(int32_t index, MListViewRow* const* rows, int32_t count) = 0;   // 41
  virtual int32_t RemoveRows(int32_t index, int32_t count) = 0;                              // 42
  // 43: the first moved row ends at `destination`, an index of the list after the move.
  virtual int32_t MoveRows(int32_t destination, int32_t source, int32_t count) = 0;
  virtual int32_t IndexOfId(uint32_t id) = 0;  // 44: -1 when absent
  virtual int32_t RemoveAllRows() = 0;         // 45
  // ---- columns ----
  virtual int32_t ColumnCount() = 0;                       // 46
  virtual int32_t AddColumn(MListViewColumn* column) = 0;  // 47
  // 48: the column's width in pixels now (-1 out of range); 49: resizes it (and the next).
  virtual int32_t ColumnWidth(int32_t index) = 0;
  virtual int32_t SetColumnWidth(int32_t index, int32_t width) = 0;
  // ---- selection (identifiers) ----
  // 50: up to `capacity` ids into `out` in display order; answers how many are selected.
  virtual int32_t GetSelection(uint32_t* out, int32_t capacity) = 0;
  virtual int32_t IsSelected(uint32_t id) = 0;                           // 51
  virtual int32_t SetSelection(const uint32_t* ids, int32_t count) = 0;  // 52: 0 when absent
  virtual int32_t SelectAll() = 0;                                       // 53
  // ---- current row ----
  virtual uint32_t GetCurrentId() = 0;            // 54: 0 with none
  virtual int32_t CurrentIndex() = 0;             // 55: -1 with none
  virtual int32_t SetCurrentId(uint32_t id) = 0;  // 56: 0 when absent
  // ---- scrolling and hit testing ----
  virtual int32_t GetTopRow() = 0;             // 57
  virtual int32_t SetTopRow(int32_t top) = 0;  // 58
  virtual int32_t PageRows() = 0;              // 59: whole rows that fit
  // 60: the row under a point in window coordinates, -1 for none (the header, below the rows).
  virtual int32_t RowAtPoint(const PointI* point) = 0;
  // 61: repaints rows `first` to `end` (-1: to the last).
  virtual int32_t InvalidateRows(int32_t first, int32_t end) = 0;
  // 62: the window scroll bars name as "scrolldest" (the view itself, no reference).
  virtual MWindowElement* ScrollTarget() = 0;
  virtual int32_t ScrollToShow(uint32_t id) = 0;                  // 63: 0 when absent
  virtual int32_t ScrollToEdge(uint32_t id, int32_t bottom) = 0;  // 64: 0 when absent
  // ---- callbacks ----
  // 65: the user dropped dragged rows before row `target` (-1: at the end); the part moves
  // the selection there.
  virtual int32_t DropRows(MListViewRow* const* rows, int32_t count, int32_t target) = 0;
  virtual int32_t DrawHeaderBackground(MCanvas* canvas, const RectI* rect) = 0;   // 66
  virtual int32_t DrawContentBackground(MCanvas* canvas, const RectI* rect) = 0;  // 67
  virtual int32_t DrawHeaderDropHint(MCanvas* canvas, const RectI* rect) = 0;     // 68
  virtual int32_t DrawItemDropHint(MCanvas* canvas, const RectI* rect) = 0;       // 69
  // 70 to 72: redraw modes of the content, the header background and the header
  // (kListRedrawWhole: the area's images are absent or animated, so any repaint of the view
  // repaints that area whole; 0: only what changed).
  virtual int32_t ContentRedrawMode() = 0;
  virtual int32_t HeaderBackgroundRedrawMode() = 0;
  virtual int32_t HeaderRedrawMode() = 0;
  virtual int32_t SelectionChanged() = 0;  // 73
  virtual int32_t CurrentChanged() = 0;    // 74
  // ---- state ----
  virtual int32_t LoadState(MPreferenceStore* section) = 0;  // 75
  virtual int32_t SaveState(MPreferenceStore* section) = 0;  // 76
  // 77: a wrapper's type-ahead search matched row `row`: it becomes the selection alone and
  // the current row, scrolled into view; 0 when out of range.
  virtual int32_t SearchMatched(int32_t row) = 0;

 protected:
  ~MPlaylistView() = default;
};

}  // namespace vk2
