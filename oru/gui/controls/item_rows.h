// Items laid out as rows of one height (the first item's, else a default), drawn by the items
// themselves: shared by the selection list and the picker's menu.
#pragma once

#include <cstdint>
#include <functional>

#include "interfaces/gui/controls.h"

namespace vk2::gui {

inline constexpr int32_t kDefaultRowHeight = 18;

int32_t RowHeightOf(MItemList* items);
// The item styles' place of an item: 0 alone, 1 first, 2 middle, 3 last.
int32_t ItemPlace(int32_t index, int32_t count);
// Draws the rows from `first` down a `width` x `height` area; `state` gives each item's bits.
void DrawItemRows(MCanvas* canvas, MItemList* items, int32_t first, int32_t width, int32_t height,
                  const std::function<uint32_t(int32_t)>& state);

}  // namespace vk2::gui
