#include "oru/gui/listview/list_view_model.h"

#include <algorithm>
#include <mutex>

namespace vk2 {

namespace {
using Guard = std::scoped_lock<CriticalSection>;
}  // namespace

bool ListViewModel::ValidRange(int32_t index, int32_t count) const {
  return index >= 0 && count >= 0 && index <= static_cast<int32_t>(rows_.size()) - count;
}

int32_t ListViewModel::FindId(uint32_t id) const {
  if (id == 0) return -1;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i]->GetId() == id) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t ListViewModel::MaxTop() const {
  return std::max<int32_t>(0, static_cast<int32_t>(rows_.size()) - pageRows_);
}

void ListViewModel::ClampTop() {
  topRow_ = std::clamp(topRow_, 0, MaxTop());
}

void ListViewModel::Deliver(const Notices& notices) {
  if (!observer_) return;
  if (notices.selection) observer_->SelectionChanged();
  if (notices.current) observer_->CurrentChanged();
}

void ListViewModel::Prune(int32_t formerCurrent, Notices& notices) {
  std::unordered_set<uint32_t> present;
  present.reserve(rows_.size());
  for (const Row& row : rows_)
    present.insert(row->GetId());
  for (auto it = selected_.begin(); it != selected_.end();) {
    if (present.count(*it)) {
      ++it;
    } else {
      it = selected_.erase(it);
      notices.selection = true;
    }
  }
  if (anchorId_ && !present.count(anchorId_)) anchorId_ = 0;
  if (currentId_ && !present.count(currentId_)) {
    // The row that slid into the current row's place takes over, so keyboard work goes on there.
    const int32_t last = static_cast<int32_t>(rows_.size()) - 1;
    currentId_ = last < 0 ? 0 : rows_[std::clamp(formerCurrent, 0, last)]->GetId();
    notices.current = true;
  }
  ClampTop();
}

// ---- rows -------------------------------------------------------------------------------------

int32_t ListViewModel::RowCount() {
  Guard guard(lock_);
  return static_cast<int32_t>(rows_.size());
}

bool ListViewModel::GetRows(int32_t index, int32_t count, std::vector<Row>* out) {
  Guard guard(lock_);
  if (!out || !ValidRange(index, count)) return false;
  out->assign(rows_.begin() + index, rows_.begin() + index + count);
  return true;
}

ListViewModel::Row ListViewModel::RowAt(int32_t index) {
  Guard guard(lock_);
  return ValidRange(index, 1) ? rows_[index] : Row();
}

uint32_t ListViewModel::IdAt(int32_t index) {
  Guard guard(lock_);
  return ValidRange(index, 1) ? rows_[index]->GetId() : 0;
}

bool ListViewModel::ReplaceRows(int32_t index, const Row* rows, int32_t count) {
  Notices notices;
  {
    Guard guard(lock_);
    if (!ValidRange(index, count) || (count && !rows)) return false;
    if (!std::all_of(rows, rows + count, [](const Row& r) { return r; })) return false;
    const int32_t formerCurrent = FindId(currentId_);
    std::copy(rows, rows + count, rows_.begin() + index);
    Prune(formerCurrent, notices);
  }
  Deliver(notices);
  return true;
}

void ListViewModel::SetRows(const Row* rows, int32_t count) {
  Notices notices;
  {
    Guard guard(lock_);
    const int32_t formerCurrent = FindId(currentId_);
    rows_.clear();
    for (int32_t i = 0; rows && i < count; ++i) {
      if (rows[i]) rows_.push_back(rows[i]);
    }
    Prune(formerCurrent, notices);
  }
  Deliver(notices);
}

bool ListViewModel::InsertRows(int32_t index, const Row* rows, int32_t count) {
  Guard guard(lock_);
  if (index < 0 || index > static_cast<int32_t>(rows_.size()) || count < 0 || (count && !rows)) {
    return false;
  }
  if (!std::all_of(rows, rows + count, [](const Row& r) { return r; })) return false;
  rows_.insert(rows_.begin() + index, rows, rows + count);
  return true;
}

bool ListViewModel::RemoveRows(int32_t index, int32_t count) {
  Notices notices;
  {
    Guard guard(lock_);
    if (!ValidRange(index, count)) return false;
    const int32_t formerCurrent = FindId(currentId_);
    rows_.erase(rows_.begin() + index, rows_.begin() + index + count);
    Prune(formerCurrent >= index + count ? formerCurrent - count : std::min(formerCurrent, index),
          notices);
  }
  Deliver(notices);
  return true;
}

bool ListViewModel::MoveRows(int32_t destination, int32_t source, int32_t count) {
  Guard guard(lock_);
  if (!ValidRange(source, count) || !ValidRange(destination, count)) return false;
  if (destination < source) {
    std::rotate(rows_.begin() + destination, rows_.begin() + source,
                rows_.begin() + source + count);
  } else {
    std::rotate(rows_.begin() + source, rows_.begin() + source + count,
                rows_.begin() + destination + count);
  }
  return true;
}

int32_t ListViewModel::IndexOfId(uint32_t id) {
  Guard guard(lock_);
  return FindId(id);
}

void ListViewModel::RemoveAll() {
  SetRows(nullptr, 0);
}

// ---- columns ----------------------------------------------------------------------------------

int32_t ListViewModel::ColumnCount() {
  Guard guard(lock_);
  return static_cast<int32_t>(columns_.size());
}

void ListViewModel::AddColumn(Column column) {
  if (!column) return;
  Guard guard(lock_);
  columns_.push_back(std::move(column));
}

ListViewModel::Column ListViewModel::ColumnAt(int32_t index) {
  Guard guard(lock_);
  return index >= 0 && index < static_cast<int32_t>(columns_.size()) ? columns_[index] : Column();
}

std::vector<int32_t> ListViewModel::ColumnWidths(int32_t totalWidth) {
  Guard guard(lock_);
  std::vector<int32_t> widths;
  int32_t used = 0;
  for (const Column& column : columns_) {
    double share = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    column->GetWidthSpec(&share, &minimum, &maximum);
    const int32_t width = std::clamp(static_cast<int32_t>(share * totalWidth), std::max(0, minimum),
                                     std::max({0, minimum, maximum}));
    widths.push_back(width);
    used += width;
  }
  if (!widths.empty() && used < totalWidth) {
    // Rounding down leaves a few pixels; the last column takes them while its maximum allows.
    double share = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    columns_.back()->GetWidthSpec(&share, &minimum, &maximum);
    widths.back() = std::min(widths.back() + (totalWidth - used), std::max(widths.back(), maximum));
  }
  return widths;
}

bool ListViewModel::ResizeColumn(int32_t index, int32_t width, int32_t totalWidth) {
  Guard guard(lock_);
  const int32_t count = static_cast<int32_t>(columns_.size());
  if (index < 0 || index >= count || totalWidth <= 0) return false;
  std::vector<int32_t> widths = ColumnWidths(totalWidth);
  double share = 0;
  int32_t minimum = 0;
  int32_t maximum = 0;
  columns_[index]->GetWidthSpec(&share, &minimum, &maximum);
  int32_t wanted = std::clamp(width, std::max(0, minimum), std::max({0, minimum, maximum}));
  if (index + 1 < count) {
    double nextShare = 0;
    int32_t nextMinimum = 0;
    int32_t nextMaximum = 0;
    columns_[index + 1]->GetWidthSpec(&nextShare, &nextMinimum, &nextMaximum);
    const int32_t pair = widths[index] + widths[index + 1];
    wanted = std::clamp(wanted, pair - std::max(nextMinimum, nextMaximum), pair - nextMinimum);
    wanted = std::max(wanted, 0);
    columns_[index + 1]->SetWidthShare(static_cast<double>(pair - wanted) / totalWidth);
  }
  columns_[index]->SetWidthShare(static_cast<double>(wanted) / totalWidth);
  return true;
}

// ---- selection --------------------------------------------------------------------------------

std::vector<uint32_t> ListViewModel::GetSelection() {
  Guard guard(lock_);
  std::vector<uint32_t> ids;
  for (const Row& row : rows_) {
    if (selected_.count(row->GetId())) ids.push_back(row->GetId());
  }
  return ids;
}

bool ListViewModel::SetSelection(const uint32_t* ids, int32_t count) {
  Notices notices;
  {
    Guard guard(lock_);
    if (count < 0 || (count && !ids)) return false;
    for (int32_t i = 0; i < count; ++i) {
      if (FindId(ids[i]) < 0) return false;
    }
    std::unordered_set<uint32_t> wanted(ids, ids + count);
    notices.selection = wanted != selected_;
    selected_ = std::move(wanted);
  }
  Deliver(notices);
  return true;
}

bool ListViewModel::IsSelected(uint32_t id) {
  Guard guard(lock_);
  return selected_.count(id) != 0;
}

void ListViewModel::MakeCurrent(int32_t index, Notices& notices) {
  const uint32_t id = rows_[index]->GetId();
  if (id != currentId_) {
    currentId_ = id;
    notices.current = true;
  }
}

void ListViewModel::PickRow(int32_t index, ItemPick how) {
  Notices notices;
  {
    Guard guard(lock_);
    if (!ValidRange(index, 1)) return;
    const PickResult result = PickItem(selected_, index, FindId(anchorId_), how,
                                       [this](int32_t i) { return rows_[i]->GetId(); });
    notices.selection = result.changed;
    if (result.anchor >= 0) anchorId_ = rows_[result.anchor]->GetId();
    MakeCurrent(index, notices);
  }
  Deliver(notices);
}

void ListViewModel::SelectAll() {
  Notices notices;
  {
    Guard guard(lock_);
    for (const Row& row : rows_)
      notices.selection |= selected_.insert(row->GetId()).second;
  }
  Deliver(notices);
}

void ListViewModel::ClearSelection() {
  Notices notices;
  {
    Guard guard(lock_);
    notices.selection = !selected_.empty();
    selected_.clear();
  }
  Deliver(notices);
}

// ---- current row ------------------------------------------------------------------------------

uint32_t ListViewModel::GetCurrentId() {
  Guard guard(lock_);
  return currentId_;
}

int32_t ListViewModel::CurrentIndex() {
  Guard guard(lock_);
  return FindId(currentId_);
}

bool ListViewModel::SetCurrentId(uint32_t id) {
  Notices notices;
  {
    Guard guard(lock_);
    const int32_t index = FindId(id);
    if (index < 0) return false;
    MakeCurrent(index, notices);
  }
  Deliver(notices);
  return true;
}

void ListViewModel::StepCurrent(int32_t delta, ItemPick how) {
  int32_t target = 0;
  {
    Guard guard(lock_);
    if (rows_.empty()) return;
    const int32_t current = FindId(currentId_);
    target = SteppedIndex(current, delta, static_cast<int32_t>(rows_.size()));
  }
  PickRow(target, how);
  ScrollToShow(IdAt(target));
}

// ---- scrolling --------------------------------------------------------------------------------

void ListViewModel::SetPageRows(int32_t rows) {
  Guard guard(lock_);
  pageRows_ = std::max(1, rows);
  ClampTop();
}

int32_t ListViewModel::PageRows() {
  Guard guard(lock_);
  return pageRows_;
}

int32_t ListViewModel::TopRow() {
  Guard guard(lock_);
  return topRow_;
}

void ListViewModel::SetTopRow(int32_t top) {
  Guard guard(lock_);
  topRow_ = top;
  ClampTop();
}

bool ListViewModel::ScrollToShow(uint32_t id) {
  Guard guard(lock_);
  const int32_t index = FindId(id);
  if (index < 0) return false;
  if (index < topRow_) topRow_ = index;
  if (index >= topRow_ + pageRows_) topRow_ = index - pageRows_ + 1;
  ClampTop();
  return true;
}

bool ListViewModel::ScrollToEdge(uint32_t id, bool bottom) {
  Guard guard(lock_);
  const int32_t index = FindId(id);
  if (index < 0) return false;
  topRow_ = bottom ? index - pageRows_ + 1 : index;
  ClampTop();
  return true;
}

// ---- drag-moving ------------------------------------------------------------------------------

std::vector<ListViewModel::Row> ListViewModel::SelectedRows() {
  Guard guard(lock_);
  std::vector<Row> rows;
  for (const Row& row : rows_) {
    if (selected_.count(row->GetId())) rows.push_back(row);
  }
  return rows;
}

bool ListViewModel::MoveSelectionBefore(int32_t target) {
  Guard guard(lock_);
  const int32_t count = static_cast<int32_t>(rows_.size());
  if (target < 0 || target > count) target = count;
  while (target < count && selected_.count(rows_[target]->GetId()))
    ++target;
  std::vector<Row> moved;
  std::vector<Row> kept;
  int32_t insertAt = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (i == target) insertAt = static_cast<int32_t>(kept.size());
    (selected_.count(rows_[i]->GetId()) ? moved : kept).push_back(rows_[i]);
  }
  if (moved.empty()) return false;
  if (target == count) insertAt = static_cast<int32_t>(kept.size());
  kept.insert(kept.begin() + insertAt, moved.begin(), moved.end());
  rows_ = std::move(kept);
  return true;
}

}  // namespace vk2
