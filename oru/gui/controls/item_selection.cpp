#include "oru/gui/controls/item_selection.h"

#include <algorithm>

namespace vk2 {

void ItemSelection::SetMultiple(bool multiple) {
  multiple_ = multiple;
  if (!multiple_ && selected_.size() > 1) selected_ = {*selected_.begin()};
}

void ItemSelection::Inserted(int32_t index, int32_t count) {
  if (count <= 0 || index < 0 || index > count_) return;
  count_ += count;
  std::set<int32_t> moved;
  for (int32_t i : selected_)
    moved.insert(i >= index ? i + count : i);
  selected_ = std::move(moved);
  if (current_ >= index) current_ += count;
  if (anchor_ >= index) anchor_ += count;
}

void ItemSelection::Removed(int32_t index, int32_t count) {
  if (count <= 0 || index < 0 || index + count > count_) return;
  count_ -= count;
  std::set<int32_t> kept;
  for (int32_t i : selected_) {
    if (i < index) kept.insert(i);
    if (i >= index + count) kept.insert(i - count);
  }
  selected_ = std::move(kept);
  const auto shift = [&](int32_t& i) {
    if (i >= index + count) {
      i -= count;
    } else if (i >= index) {
      i = count_ == 0 ? -1 : std::min(index, count_ - 1);
    }
  };
  shift(current_);
  shift(anchor_);
  ClampTop();
}

void ItemSelection::Clear() {
  count_ = 0;
  selected_.clear();
  current_ = anchor_ = -1;
  top_ = 0;
}

bool ItemSelection::Select(int32_t index, bool selected) {
  if (index < 0 || index >= count_) return false;
  if (!selected) return selected_.erase(index) != 0;
  if (selected_.count(index)) return false;
  if (!multiple_) selected_.clear();
  selected_.insert(index);
  return true;
}

bool ItemSelection::Pick(int32_t index, ItemPick how) {
  if (index < 0 || index >= count_) return false;
  if (!multiple_) how = ItemPick::kOnly;
  const PickResult result = PickItem(selected_, index, anchor_, how, [](int32_t i) { return i; });
  anchor_ = result.anchor;
  current_ = index;
  ScrollToShow(index);
  return result.changed;
}

bool ItemSelection::Step(int32_t delta, bool extend) {
  if (count_ == 0) return false;
  return Pick(SteppedIndex(current_, delta, count_), extend ? ItemPick::kRange : ItemPick::kOnly);
}

void ItemSelection::SetPageItems(int32_t items) {
  page_ = std::max(1, items);
  ClampTop();
}

void ItemSelection::SetTop(int32_t top) {
  top_ = top;
  ClampTop();
}

void ItemSelection::ClampTop() {
  top_ = std::clamp(top_, 0, std::max(0, count_ - page_));
}

void ItemSelection::ScrollToShow(int32_t index) {
  if (index < 0 || index >= count_) return;
  if (index < top_) top_ = index;
  if (index >= top_ + page_) top_ = index - page_ + 1;
  ClampTop();
}

}  // namespace vk2
