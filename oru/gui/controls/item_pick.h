// How a click or key picks an item of a list with a selection, for every such list (the
// selection list keeps its selection by index, the list view by row identifier): the item
// alone, toggled, or the range from the anchor -- the item last picked alone or toggled.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vk2 {

enum class ItemPick {
  kOnly,         // the item alone is selected (plain click)
  kToggle,       // the item's selection flips (Ctrl+click)
  kRange,        // the items from the anchor to this one alone are selected (Shift+click)
  kAddRange,     // that range is added to the selection (Ctrl+Shift+click)
  kCurrentOnly,  // the item becomes current, the selection stays (Ctrl+arrow)
};

struct PickResult {
  bool changed;    // whether the selection changed
  int32_t anchor;  // the anchor's index after the pick (-1: still none)
};

// Picks item `index` into `selection`, a set of the items' keys (`keyOf(i)` is item i's key).
// `anchor` is the anchor's index, -1 for none: a range then starts at the item picked.
template <class KeySet, class KeyOf>
PickResult PickItem(KeySet& selection, int32_t index, int32_t anchor, ItemPick how, KeyOf keyOf) {
  const auto key = keyOf(index);
  switch (how) {
    case ItemPick::kOnly: {
      const bool changed = selection.size() != 1 || !selection.count(key);
      selection = {key};
      return {changed, index};
    }
    case ItemPick::kToggle:
      if (!selection.erase(key)) selection.insert(key);
      return {true, index};
    case ItemPick::kRange:
    case ItemPick::kAddRange: {
      if (anchor < 0) anchor = index;
      KeySet before;
      if (how == ItemPick::kRange) before.swap(selection);
      bool added = false;
      for (int32_t i = std::min(anchor, index); i <= std::max(anchor, index); ++i)
        added |= selection.insert(keyOf(i)).second;
      return {how == ItemPick::kRange ? before != selection : added, anchor};
    }
    case ItemPick::kCurrentOnly:
      break;
  }
  return {false, anchor};
}

// The item `delta` items on from `current` (-1: none, which gives the first item), kept within
// a list of `count` items (at least one).
inline int32_t SteppedIndex(int32_t current, int32_t delta, int32_t count) {
  if (current < 0) return 0;
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{current} + delta, 0, count - 1));
}

}  // namespace vk2
