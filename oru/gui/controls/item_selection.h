// The selection of a selection list: items by index, one or many selected, a current item,
// the first item shown and how many fit. Items come and go through Inserted and Removed so
// that the selection stays with its items.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "oru/gui/controls/item_pick.h"

namespace vk2 {

class ItemSelection {
 public:
  void SetMultiple(bool multiple);
  bool Multiple() const { return multiple_; }

  int32_t Count() const { return count_; }
  void Inserted(int32_t index, int32_t count);
  void Removed(int32_t index, int32_t count);
  void Clear();

  bool IsSelected(int32_t index) const { return selected_.count(index) != 0; }
  std::vector<int32_t> Selected() const { return {selected_.begin(), selected_.end()}; }
  // Answers whether the selection changed; false for an index out of range.
  bool Select(int32_t index, bool selected);
  // A click or key: a single-choice list always picks one.
  bool Pick(int32_t index, ItemPick how);
  int32_t Current() const { return current_; }
  // Moves the current item by `delta`, kept in the list, picking it (Shift: a range).
  bool Step(int32_t delta, bool extend);

  void SetPageItems(int32_t items);
  int32_t PageItems() const { return page_; }
  int32_t Top() const { return top_; }
  void SetTop(int32_t top);
  void ScrollToShow(int32_t index);

 private:
  void ClampTop();

  int32_t count_ = 0;
  std::set<int32_t> selected_;
  int32_t current_ = -1;
  int32_t anchor_ = -1;
  int32_t top_ = 0;
  int32_t page_ = 1;
  bool multiple_ = false;
};

}  // namespace vk2
