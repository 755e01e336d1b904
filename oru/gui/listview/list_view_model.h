// The list view's data: rows (each holding an identifier, in display order from 0), columns,
// the selection, the current row, the scroll position and the state kept in preferences.
// Everything the list view's window part draws and routes input to goes through this model,
// which has its own lock so that other threads may change the rows while the GUI paints.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/list_view_items.h"
#include "oru/gui/controls/item_pick.h"
#include "platform/critical_section.h"

namespace vk2 {

class MPreferenceStore;

// Told after a change, outside the model's lock (unless the caller holds it).
class ListViewObserver {
 public:
  virtual void SelectionChanged() = 0;
  virtual void CurrentChanged() = 0;

 protected:
  ~ListViewObserver() = default;
};

class ListViewModel {
 public:
  using Row = RefPtr<MListViewRow>;
  using Column = RefPtr<MListViewColumn>;

  explicit ListViewModel(ListViewObserver* observer = nullptr) : observer_(observer) {}
  ListViewModel(const ListViewModel&) = delete;
  ListViewModel& operator=(const ListViewModel&) = delete;

  // Held by callers that need several operations to see one state.
  CriticalSection& Lock() { return lock_; }

  // ---- rows (indices in display order; a bad range changes nothing and answers false) ----
  int32_t RowCount();
  bool GetRows(int32_t index, int32_t count, std::vector<Row>* out);
  Row RowAt(int32_t index);
  uint32_t IdAt(int32_t index);
  bool ReplaceRows(int32_t index, const Row* rows, int32_t count);
  void SetRows(const Row* rows, int32_t count);
  // `index` equal to the row count appends.
  bool InsertRows(int32_t index, const Row* rows, int32_t count);
  bool RemoveRows(int32_t index, int32_t count);
  // Moves `count` rows from `source` so that the first of them ends up at `destination`
  // (an index of the list after the move).
  bool MoveRows(int32_t destination, int32_t source, int32_t count);
  int32_t IndexOfId(uint32_t id);
  void RemoveAll();

  // ---- columns ----
  int32_t ColumnCount();
  void AddColumn(Column column);
  Column ColumnAt(int32_t index);
  // Pixel widths of the columns for a list `totalWidth` wide: each its share of the width, kept
  // within its minimum and maximum; the last column takes what rounding leaves.
  std::vector<int32_t> ColumnWidths(int32_t totalWidth);
  // The user dragged the right edge of column `index` to make it `width` pixels wide; the next
  // column gives or takes the difference so the others keep their places.
  bool ResizeColumn(int32_t index, int32_t width, int32_t totalWidth);

  // ---- selection (a set of identifiers: it follows rows when they move) ----
  std::vector<uint32_t> GetSelection();
  // Every identifier must be present, else nothing changes and the answer is false.
  bool SetSelection(const uint32_t* ids, int32_t count);
  bool IsSelected(uint32_t id);
  void PickRow(int32_t index, ItemPick how);
  void SelectAll();
  void ClearSelection();

  // ---- current row (0: none) ----
  uint32_t GetCurrentId();
  int32_t CurrentIndex();
  bool SetCurrentId(uint32_t id);
  // Moves the current row by `delta` rows (arrows, page keys), kept within the list, picking
  // as `how` says; with no current row the first row becomes current.
  void StepCurrent(int32_t delta, ItemPick how);

  // ---- scrolling ----
  void SetPageRows(int32_t rows);
  int32_t PageRows();
  int32_t TopRow();
  // Kept between 0 and the last top row that still fills the page.
  void SetTopRow(int32_t top);
  // Scrolls the least that brings the row into view; false when the id is absent.
  bool ScrollToShow(uint32_t id);
  // Scrolls so that the row stands at the top (or as far down as the list allows) or bottom.
  bool ScrollToEdge(uint32_t id, bool bottom);

  // ---- drag-moving ----
  std::vector<Row> SelectedRows();
  // Moves the selected rows, in their order, to stand before row `target` of the list as it is
  // now (-1 or the row count: to the end). A selected target row moves with the others and the
  // block then lands before the first unselected row after it.
  bool MoveSelectionBefore(int32_t target);

  // ---- state in the preference section given ----
  int32_t SaveState(MPreferenceStore* section);
  int32_t LoadState(MPreferenceStore* section);

 private:
  struct Notices {
    bool selection = false;
    bool current = false;
  };
  class Change;

  bool ValidRange(int32_t index, int32_t count) const;
  int32_t FindId(uint32_t id) const;
  int32_t MaxTop() const;
  void ClampTop();
  // After rows left or changed: drops vanished ids from the selection and keeps a current row
  // at `formerCurrent` (the index it had) when its id vanished.
  void Prune(int32_t formerCurrent, Notices& notices);
  void MakeCurrent(int32_t index, Notices& notices);
  void Deliver(const Notices& notices);

  CriticalSection lock_;
  ListViewObserver* observer_;
  std::vector<Row> rows_;
  std::vector<Column> columns_;
  std::unordered_set<uint32_t> selected_;
  uint32_t currentId_ = 0;
  uint32_t anchorId_ = 0;
  int32_t topRow_ = 0;
  int32_t pageRows_ = 1;
};

}  // namespace vk2
