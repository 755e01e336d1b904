#include "gui/playlist_view/playlist_column.h"

#include "gui/playlist_view/playlist_drawing.h"
#include "gui/playlist_view/playlist_row_context.h"

namespace vk2::gui {

void PlaylistColumn::GetWidthSpec(double* share, int32_t* minimum, int32_t* maximum) {
  if (share) *share = share_;
  if (minimum) *minimum = minimum_;
  if (maximum) *maximum = maximum_;
}

bool PlaylistColumn::DrawColumn(MCanvas* canvas, const RectI& rect, int32_t columnIndex) {
  const PlaylistSkin& skin = context_->Skin();
  const ImageSet& set = skin.sets[(flags_ & kColumnSelectedSet) ? kSetSelectedColumn : kSetColumn];
  return DrawSkinImage(set.Pick(columnIndex, context_->ColumnCount()), canvas, rect);
}

bool PlaylistColumn::DrawHeader(MCanvas* canvas, const RectI& rect, int32_t columnIndex) {
  const PlaylistSkin& skin = context_->Skin();
  bool drew =
      DrawSkinImage(skin.sets[kSetHeader].Pick(columnIndex, context_->ColumnCount()), canvas, rect);
  drew |= DrawLine(skin.headerFont.Get(), canvas, name_, OffsetRect(rect, skin.headerText),
                   skin.headerJustification, skin.headerColour);
  return drew;
}

}  // namespace vk2::gui
