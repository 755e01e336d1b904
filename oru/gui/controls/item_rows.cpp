#include "oru/gui/controls/item_rows.h"

namespace vk2::gui {

int32_t RowHeightOf(MItemList* items) {
  MListItem* first = items ? items->ItemAt(0) : nullptr;
  const int32_t height = first ? first->ItemHeight() : 0;
  return height > 0 ? height : kDefaultRowHeight;
}

int32_t ItemPlace(int32_t index, int32_t count) {
  if (count <= 1) return 0;
  if (index == 0) return 1;
  return index == count - 1 ? 3 : 2;
}

void DrawItemRows(MCanvas* canvas, MItemList* items, int32_t first, int32_t width, int32_t height,
                  const std::function<uint32_t(int32_t)>& state) {
  if (!items) return;
  const int32_t rowHeight = RowHeightOf(items);
  const int32_t count = items->Count();
  for (int32_t i = first < 0 ? 0 : first, y = 0; i < count && y < height; ++i, y += rowHeight) {
    MListItem* item = items->ItemAt(i);
    if (!item) continue;
    const RectI rect{0, y, width, y + rowHeight};
    item->DrawItem(canvas, &rect, state(i), ItemPlace(i, count));
  }
}

}  // namespace vk2::gui
