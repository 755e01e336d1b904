#include "oru/gui/listview/list_view_part.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "oru/gui/controls/flat_paint.h"
#include "oru/gui/controls/scroll_bar_part.h"

namespace vk2::gui {

namespace {

constexpr int32_t kWheelRows = 3;
constexpr uint32_t kDropHintColor = 0xFF000000;

std::vector<ListViewModel::Row> Held(MListViewRow* const* rows, int32_t count) {
  std::vector<ListViewModel::Row> held;
  if (!rows || count <= 0) return held;
  held.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i)
    held.emplace_back(rows[i]);
  return held;
}

bool AllPresent(MListViewRow* const* rows, int32_t count) {
  if (count < 0 || (count > 0 && !rows)) return false;
  return std::all_of(rows, rows + count, [](MListViewRow* row) { return row != nullptr; });
}

int32_t IntProperty(const PropertyTable& table, const char16_t* name, int32_t fallback) {
  PropertyValue value;
  if (table.Get(name, &value) != 0 || value.type != kPropertyInteger) return fallback;
  return value.integer;
}

bool Overlap(const RectI& a, const RectI& b) {
  return !a.Empty() && !b.Empty() && a.left < b.right && b.left < a.right && a.top < b.bottom &&
         b.top < a.bottom;
}

bool Contains(const RectI& outer, const RectI& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

RectI Union(const RectI& a, const RectI& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return RectI{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom)};
}

}  // namespace

int32_t ListViewPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) ListViewPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

RefPtr<MPlaylistView> ListViewPart::Face() {
  if (RefPtr<MPlaylistView> face = vk2::Query<MPlaylistView>(Outer(), kIID_MPlaylistView)) {
    return face;
  }
  return RefPtr<MPlaylistView>(this);
}

void ListViewPart::Ear::SelectionChanged() {
  part_->StatesChanged();
  part_->Face()->SelectionChanged();
}

void ListViewPart::Ear::CurrentChanged() {
  part_->StatesChanged();
  part_->Face()->CurrentChanged();
}

int32_t ListViewPart::RowHeight() const {
  return std::max(1, IntProperty(Properties(), kPropRowHeight, kDefaultListRowHeight));
}

int32_t ListViewPart::HeaderHeight() const {
  return std::max(0, IntProperty(Properties(), kPropHeaderHeight, kDefaultListHeaderHeight));
}

int32_t ListViewPart::PageRows() {
  const int32_t rows = std::max(1, (Size().height - HeaderHeight()) / RowHeight());
  model_.SetPageRows(rows);
  return rows;
}

void ListViewPart::RowsChanged() {
  // Rows may change on any thread (the model has its own lock); the window is the loop's.
  GuiLoop* loop = Loop();
  if (loop && !loop->IsLoopThread()) {
    // Not holding the window: a playlist change can arrive while its window is being destroyed.
    PostWhileAlive([](WindowPart* self) { static_cast<ListViewPart*>(self)->RowsChanged(); });
    return;
  }
  PageRows();
  Repaint();
  TellScrollBars(*this);
}

RectI ListViewPart::ContentRect() const {
  const SizeI size = Size();
  return RectI{0, HeaderHeight(), size.width, size.height};
}

RectI ListViewPart::RowRect(int32_t index) {
  const int32_t y = HeaderHeight() + (index - model_.TopRow()) * RowHeight();
  return RectI{0, y, Size().width, std::min(y + RowHeight(), Size().height)};
}

void ListViewPart::InvalidateChanged(const RectI& changed) {
  RefPtr<MPlaylistView> face = Face();
  const RectI content = ContentRect();
  // An absent or animated background cannot be patched in pieces: its area repaints whole.
  if ((face->ContentRedrawMode() & kListRedrawWhole) != 0 && Overlap(changed, content)) {
    Invalidate(&content);
  } else if (!changed.Empty()) {
    Invalidate(&changed);
  }
  const int32_t header = HeaderHeight();
  if (header > 0 && ((face->HeaderBackgroundRedrawMode() & kListRedrawWhole) != 0 ||
                     (face->HeaderRedrawMode() & kListRedrawWhole) != 0)) {
    const RectI headerRect{0, 0, Size().width, header};
    Invalidate(&headerRect);
  }
}

uint32_t ListViewPart::RowState(uint32_t id, uint32_t currentId) {
  uint32_t state = 0;
  if (model_.IsSelected(id)) state |= kRowSelected;
  if (id == currentId) state |= kRowCurrent;
  return state;
}

void ListViewPart::StatesChanged() {
  // What was painted is the loop's to read; elsewhere the whole view goes to the loop.
  GuiLoop* loop = Loop();
  if (loop && !loop->IsLoopThread()) {
    Repaint();
    return;
  }
  const int32_t top = model_.TopRow();
  const int32_t shown = std::min(PageRows() + 1, model_.RowCount() - top);
  std::vector<ListViewModel::Row> rows;
  if (shown > 0) model_.GetRows(top, shown, &rows);
  const uint32_t currentId = model_.GetCurrentId();
  RectI changed;
  for (int32_t i = 0; i < static_cast<int32_t>(rows.size()); ++i) {
    const uint32_t id = rows[static_cast<size_t>(i)]->GetId();
    const auto painted = paintedStates_.find(id);
    if (painted != paintedStates_.end() && painted->second == RowState(id, currentId)) continue;
    changed = Union(changed, RowRect(top + i));
  }
  if (!changed.Empty()) InvalidateChanged(changed);
}

// ---- Rows ----

int32_t ListViewPart::GetRows(int32_t index, int32_t count, MListViewRow** out) {
  if (!out) return kErrMissingArg;
  std::vector<ListViewModel::Row> rows;
  if (!model_.GetRows(index, count, &rows)) return 0;
  for (size_t i = 0; i < rows.size(); ++i)
    out[i] = rows[i].Detach();
  return 1;
}

int32_t ListViewPart::ReplaceRows(int32_t index, MListViewRow* const* rows, int32_t count) {
  if (!AllPresent(rows, count)) return 0;
  const auto held = Held(rows, count);
  if (!model_.ReplaceRows(index, held.data(), count)) return 0;
  RowsChanged();
  return 1;
}

int32_t ListViewPart::SetRows(MListViewRow* const* rows, int32_t count) {
  if (!AllPresent(rows, count)) return 0;
  const auto held = Held(rows, count);
  model_.SetRows(held.data(), count);
  RowsChanged();
  return 1;
}

int32_t ListViewPart::InsertRows(int32_t index, MListViewRow* const* rows, int32_t count) {
  if (!AllPresent(rows, count)) return 0;
  const auto held = Held(rows, count);
  if (!model_.InsertRows(index, held.data(), count)) return 0;
  RowsChanged();
  return 1;
}

int32_t ListViewPart::RemoveRows(int32_t index, int32_t count) {
  if (!model_.RemoveRows(index, count)) return 0;
  RowsChanged();
  return 1;
}

int32_t ListViewPart::MoveRows(int32_t destination, int32_t source, int32_t count) {
  if (!model_.MoveRows(destination, source, count)) return 0;
  RowsChanged();
  return 1;
}

int32_t ListViewPart::RemoveAllRows() {
  model_.RemoveAll();
  RowsChanged();
  return 1;
}

// ---- Columns ----

int32_t ListViewPart::AddColumn(MListViewColumn* column) {
  if (!column) return 0;
  model_.AddColumn(ListViewModel::Column(column));
  Repaint();
  return 1;
}

int32_t ListViewPart::ColumnWidth(int32_t index) {
  const std::vector<int32_t> widths = model_.ColumnWidths(Size().width);
  if (index < 0 || index >= static_cast<int32_t>(widths.size())) return -1;
  return widths[static_cast<size_t>(index)];
}

int32_t ListViewPart::SetColumnWidth(int32_t index, int32_t width) {
  if (!model_.ResizeColumn(index, width, Size().width)) return 0;
  Repaint();
  return 1;
}

// ---- Selection, current row, scrolling ----

int32_t ListViewPart::GetSelection(uint32_t* out, int32_t capacity) {
  const std::vector<uint32_t> ids = model_.GetSelection();
  if (out) {
    std::copy_n(ids.begin(), std::min<size_t>(ids.size(), std::max(0, capacity)), out);
  }
  return static_cast<int32_t>(ids.size());
}

int32_t ListViewPart::SetSelection(const uint32_t* ids, int32_t count) {
  if (count < 0 || (count > 0 && !ids)) return 0;
  return model_.SetSelection(ids, count) ? 1 : 0;
}

int32_t ListViewPart::SelectAll() {
  model_.SelectAll();
  return 1;
}

int32_t ListViewPart::SetCurrentId(uint32_t id) {
  return model_.SetCurrentId(id) ? 1 : 0;
}

int32_t ListViewPart::SetTopRow(int32_t top) {
  PageRows();
  const int32_t before = model_.TopRow();
  model_.SetTopRow(top);
  if (model_.TopRow() != before) {
    Repaint();
    TellScrollBars(*this);
  }
  return 1;
}

int32_t ListViewPart::ScrollToShow(uint32_t id) {
  PageRows();
  const int32_t before = model_.TopRow();
  if (!model_.ScrollToShow(id)) return 0;
  if (model_.TopRow() != before) RowsChanged();
  return 1;
}

int32_t ListViewPart::ScrollToEdge(uint32_t id, int32_t bottom) {
  PageRows();
  if (!model_.ScrollToEdge(id, bottom != 0)) return 0;
  RowsChanged();
  return 1;
}

int32_t ListViewPart::RowAtPoint(const PointI* point) {
  if (!point || point->y < HeaderHeight() || point->x < 0 || point->x >= Size().width) return -1;
  const int32_t index = model_.TopRow() + (point->y - HeaderHeight()) / RowHeight();
  return index < model_.RowCount() ? index : -1;
}

int32_t ListViewPart::InvalidateRows(int32_t first, int32_t end) {
  const int32_t top = model_.TopRow();
  const int32_t count = model_.RowCount();
  if (end < 0 || end > count) end = count;
  first = std::max(first, top);
  if (first >= end) return 0;
  const int32_t y0 = HeaderHeight() + (first - top) * RowHeight();
  const int32_t y1 = HeaderHeight() + (end - top) * RowHeight();
  const RectI rect{0, y0, Size().width, std::min(y1, Size().height)};
  if (!rect.Empty()) InvalidateChanged(rect);
  return 1;
}

int32_t ListViewPart::SearchMatched(int32_t row) {
  if (row < 0 || row >= model_.RowCount()) return 0;
  model_.PickRow(row, ItemPick::kOnly);
  if (ListViewModel::Row matched = model_.RowAt(row)) ScrollToShow(matched->GetId());
  // The row's search highlight follows the search text even when the pick changed nothing.
  InvalidateRows(row, row + 1);
  return 1;
}

int32_t ListViewPart::LoadState(MPreferenceStore* section) {
  const int32_t r = model_.LoadState(section);
  RowsChanged();
  return r;
}

// ---- Callbacks' defaults ----

int32_t ListViewPart::DropRows(MListViewRow* const*, int32_t, int32_t target) {
  if (!model_.MoveSelectionBefore(target)) return 0;
  RowsChanged();
  return 1;
}

int32_t ListViewPart::DrawHeaderBackground(MCanvas*, const RectI*) {
  return 0;
}

int32_t ListViewPart::DrawContentBackground(MCanvas*, const RectI*) {
  return 0;
}

int32_t ListViewPart::DrawHeaderDropHint(MCanvas*, const RectI*) {
  return 0;
}

int32_t ListViewPart::DrawItemDropHint(MCanvas* canvas, const RectI* rect) {
  if (!canvas || !rect) return 0;
  FillFlat(canvas, *rect, kDropHintColor);
  return 1;
}

// ---- Paint ----

bool ListViewPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  RefPtr<MPlaylistView> face = Face();
  const SizeI size = Size();
  const int32_t header = HeaderHeight();
  const int32_t rowHeight = RowHeight();
  const int32_t page = PageRows();
  const std::vector<int32_t> widths = model_.ColumnWidths(size.width);
  const int32_t columns = static_cast<int32_t>(widths.size());
  std::vector<ListViewModel::Column> columnObjects;
  std::vector<TString> names;
  for (int32_t c = 0; c < columns; ++c) {
    columnObjects.push_back(model_.ColumnAt(c));
    TString name;
    if (columnObjects.back()) columnObjects.back()->GetName(&name);
    names.push_back(name);
  }
  const RectI content{0, header, size.width, size.height};
  face->DrawContentBackground(canvas, &content);
  if (header > 0) {
    const RectI headerRect{0, 0, size.width, header};
    face->DrawHeaderBackground(canvas, &headerRect);
  }
  for (int32_t c = 0, x = 0; c < columns; x += widths[static_cast<size_t>(c)], ++c) {
    const RectI column{x, header, x + widths[static_cast<size_t>(c)], size.height};
    if (!columnObjects[static_cast<size_t>(c)]) continue;
    columnObjects[static_cast<size_t>(c)]->DrawColumn(canvas, column, c);
    if (header > 0) {
      columnObjects[static_cast<size_t>(c)]->DrawHeader(
          canvas, RectI{column.left, 0, column.right, header}, c);
    }
  }
  // One more row than fits, for the part of a row the bottom edge cuts.
  std::vector<ListViewModel::Row> rows;
  const int32_t top = model_.TopRow();
  const int32_t shown = std::min(page + 1, model_.RowCount() - top);
  if (shown > 0) model_.GetRows(top, shown, &rows);
  const uint32_t currentId = model_.GetCurrentId();
  // Only the rows the repaint reaches are drawn (an empty dirty area means all).
  const RectI dirty = record.dirty.Empty() ? RectI{0, 0, size.width, size.height} : record.dirty;
  if (Contains(dirty, content)) paintedStates_.clear();
  for (int32_t i = 0; i < static_cast<int32_t>(rows.size()); ++i) {
    MListViewRow* row = rows[static_cast<size_t>(i)].Get();
    const int32_t y = header + i * rowHeight;
    if (!Overlap(dirty, RectI{0, y, size.width, y + rowHeight})) continue;
    const uint32_t id = row->GetId();
    const uint32_t state = RowState(id, currentId);
    paintedStates_[id] = state;
    row->DrawBackground(canvas, RectI{0, y, size.width, y + rowHeight}, top + i, state);
    for (int32_t c = 0, x = 0; c < columns; x += widths[static_cast<size_t>(c)], ++c) {
      row->DrawCell(canvas, RectI{x, y, x + widths[static_cast<size_t>(c)], y + rowHeight},
                    names[static_cast<size_t>(c)], top + i, state);
    }
  }
  if (dragging_ && dropRow_ >= 0) {
    const RectI hint = DropHintRect(dropRow_);
    face->DrawItemDropHint(canvas, &hint);
  }
  return true;
}

// ---- Input ----

int32_t ListViewPart::OnHitCode(PointI point) {
  const int32_t code = WindowPart::OnHitCode(point);
  return code == kHitNone ? code : code | kHitInputFocus;
}

void ListViewPart::OnNotify(uint32_t code, uintptr_t argument) {
  (void)argument;
  if (code == kNotifyDoubleClick && pressRow_ >= 0) Activate(pressRow_);
  if (code == kNotifySizeRequest || code == kNotifyAttached) PageRows();
}

void ListViewPart::Activate(int32_t index) {
  ListViewModel::Row row = model_.RowAt(index);
  if (row) row->Activate();
}

RectI ListViewPart::DropHintRect(int32_t dropRow) {
  const int32_t y = HeaderHeight() + (dropRow - model_.TopRow()) * RowHeight();
  return RectI{0, y - 1, Size().width, y + 1};
}

int32_t ListViewPart::DropRowAt(int32_t y) {
  const int32_t rows = model_.RowCount();
  const int32_t at = model_.TopRow() + (y - HeaderHeight() + RowHeight() / 2) / RowHeight();
  return std::clamp(at, 0, rows);
}

int32_t ListViewPart::ColumnEdgeAt(int32_t x) {
  const std::vector<int32_t> widths = model_.ColumnWidths(Size().width);
  int32_t edge = 0;
  // The last column's right edge is the list's: only the edges between columns move.
  for (size_t c = 0; c + 1 < widths.size(); ++c) {
    edge += widths[c];
    if (std::abs(x - edge) <= kColumnEdgeSlop) return static_cast<int32_t>(c);
  }
  return -1;
}

bool ListViewPart::Key(const KeyEvent& key) {
  const bool shift = (key.modifiers & kModShift) != 0;
  const bool ctrl = (key.modifiers & kModCtrl) != 0;
  const ItemPick how = ctrl ? ItemPick::kCurrentOnly : shift ? ItemPick::kRange : ItemPick::kOnly;
  const int32_t page = PageRows();
  const int32_t count = model_.RowCount();
  int32_t delta = 0;
  switch (key.key) {
    case kKeyUp:
      delta = -1;
      break;
    case kKeyDown:
      delta = 1;
      break;
    case kKeyPageUp:
      delta = -page;
      break;
    case kKeyPageDown:
      delta = page;
      break;
    case kKeyHome:
      delta = -count;
      break;
    case kKeyEnd:
      delta = count;
      break;
    case kKeyEnter:
      Activate(model_.CurrentIndex());
      return true;
    case ' ':
      if (!ctrl || model_.CurrentIndex() < 0) return false;
      model_.PickRow(model_.CurrentIndex(), ItemPick::kToggle);
      return true;
    case 'a':
    case 'A':
      if (!ctrl) return false;
      model_.SelectAll();
      return true;
    default:
      return false;
  }
  const int32_t before = model_.TopRow();
  model_.StepCurrent(delta, how);
  if (model_.TopRow() != before) TellScrollBars(*this);
  Repaint();
  return true;
}

int32_t ListViewPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryLeftDown: {
      if (!point) return 0;
      PageRows();
      pressPoint_ = *point;
      if (point->y < HeaderHeight()) {
        resizing_ = ColumnEdgeAt(point->x);
        resizeStartWidth_ = resizing_ >= 0 ? ColumnWidth(resizing_) : 0;
        return 1;
      }
      pressed_ = true;
      pressRow_ = RowAtPoint(point);
      if (pressRow_ < 0) return 1;
      const auto modifiers = static_cast<uint32_t>(b);
      const bool ctrl = (modifiers & kModCtrl) != 0;
      const bool shift = (modifiers & kModShift) != 0;
      ListViewModel::Row row = model_.RowAt(pressRow_);
      // A plain press on a selected row may start a drag of the whole selection; it picks the
      // row alone only when released without dragging.
      pickOnRelease_ = !ctrl && !shift && row && model_.IsSelected(row->GetId());
      if (pickOnRelease_) return 1;
      const ItemPick how = ctrl && shift ? ItemPick::kAddRange
                           : ctrl        ? ItemPick::kToggle
                           : shift       ? ItemPick::kRange
                                         : ItemPick::kOnly;
      model_.PickRow(pressRow_, how);
      return 1;
    }
    case kQueryPointerMove: {
      if (!point) return 0;
      if (resizing_ >= 0) {
        SetColumnWidth(resizing_, resizeStartWidth_ + point->x - pressPoint_.x);
        return 1;
      }
      if (!pressed_ || pressRow_ < 0) return 0;
      if (!dragging_ && std::abs(point->y - pressPoint_.y) + std::abs(point->x - pressPoint_.x) >=
                            kDragThreshold) {
        dragging_ = !model_.GetSelection().empty();
      }
      if (dragging_) {
        const int32_t target = DropRowAt(point->y);
        if (target != dropRow_) {
          if (dropRow_ >= 0) InvalidateChanged(DropHintRect(dropRow_));
          dropRow_ = target;
          InvalidateChanged(DropHintRect(dropRow_));
        }
      }
      return 1;
    }
    case kQueryLeftUp:
    case kQueryCaptureLost: {
      const bool drop = dragging_ && code == kQueryLeftUp;
      if (drop) {
        std::vector<ListViewModel::Row> rows = model_.SelectedRows();
        std::vector<MListViewRow*> raw;
        for (auto& row : rows)
          raw.push_back(row.Get());
        const int32_t target = dropRow_ >= model_.RowCount() ? -1 : dropRow_;
        Face()->DropRows(raw.data(), static_cast<int32_t>(raw.size()), target);
      } else if (pickOnRelease_ && code == kQueryLeftUp && pressRow_ >= 0) {
        model_.PickRow(pressRow_, ItemPick::kOnly);
      }
      // A drag's hint goes; picks repaint their own rows.
      if (dragging_) Repaint();
      pressed_ = dragging_ = pickOnRelease_ = false;
      dropRow_ = -1;
      resizing_ = -1;
      return 1;
    }
    case kQueryWheel:
      SetTopRow(model_.TopRow() - static_cast<int32_t>(static_cast<intptr_t>(b)) * kWheelRows);
      return 1;
    case kQueryKeyDown: {
      const auto* key = reinterpret_cast<const KeyEvent*>(a);
      return key && Key(*key) ? 1 : 0;
    }
    case kQueryScrollInfo: {
      auto* info = reinterpret_cast<ScrollInfo*>(a);
      if (!info) return 0;
      *info = ScrollInfo{};
      if (b == 0) {
        info->total = model_.RowCount();
        info->page = PageRows();
        info->position = model_.TopRow();
      }
      return 1;
    }
    case kQueryScrollTo:
      if (b == 0) SetTopRow(static_cast<int32_t>(static_cast<intptr_t>(a)));
      return 1;
    default:
      return 0;
  }
}

}  // namespace vk2::gui
