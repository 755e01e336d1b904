#include "gui/playlist_view/playlist_row.h"

#include "gui/playlist_view/playlist_cells.h"
#include "gui/playlist_view/playlist_drawing.h"
#include "gui/playlist_view/playlist_row_context.h"
#include "interfaces/core/player.h"
#include "interfaces/core/playlist.h"

namespace vk2::gui {

std::optional<ItemInfo> PlaylistRow::Record() {
  std::lock_guard lock(recordMutex_);
  if (!fetched_.load()) {
    // Cleared before reading, so a change reported meanwhile is fetched again next time.
    fetched_.store(true);
    ItemInfo fresh;
    MPlaylist* playlist = context_->Playlist();
    haveRecord_ = playlist && playlist->GetUIDInfo(id_, &fresh) >= 0;
    if (haveRecord_) {
      record_ = fresh;
    } else {
      fetched_.store(false);
    }
  }
  if (!haveRecord_) return std::nullopt;
  return record_;
}

TString PlaylistRow::Text(const TString& columnName, int32_t rowIndex) {
  if (columnName == u"#") return CellText(nullptr, columnName, rowIndex);
  std::optional<ItemInfo> record = Record();
  return CellText(record ? &*record : nullptr, columnName, rowIndex);
}

bool PlaylistRow::DrawBackground(MCanvas* canvas, const RectI& rect, int32_t rowIndex,
                                 uint32_t state) {
  const PlaylistSkin& skin = context_->Skin();
  const int32_t count = context_->RowCount();
  bool drew = DrawSkinImage(skin.sets[kSetRow].Pick(rowIndex, count), canvas, rect);
  SkinSet layer = kSetRow;
  switch (state & 3) {
    case 1:
      layer = kSetSelectedRow;
      break;
    case 2:
      layer = kSetCurrentRow;
      break;
    case 3:
      layer = kSetCurrentSelectedRow;
      break;
    default:
      break;
  }
  drew |= DrawSkinImage(skin.sets[layer].Pick(rowIndex, count), canvas, rect);
  if (id_ == context_->PlayersItem()) {
    MImageStyleDrawing* mark =
        context_->PlayerPlaying() ? skin.playingRow.Get() : skin.currentSongRow.Get();
    drew |= DrawSkinImage(mark, canvas, rect);
  }
  return drew;
}

bool PlaylistRow::DrawCell(MCanvas* canvas, const RectI& rect, const TString& columnName,
                           int32_t rowIndex, uint32_t state) {
  const PlaylistSkin& skin = context_->Skin();
  bool drew = DrawSkinImage(skin.item.Get(), canvas, rect);
  const uint32_t colour = ItemTextColour(skin.itemColours, state, id_ == context_->PlayersItem(),
                                         context_->PlayerPlaying());
  const TString text = Text(columnName, rowIndex);
  const RectI textRect = OffsetRect(rect, skin.itemText);
  drew |= DrawLine(skin.itemFont.Get(), canvas, text, textRect,
                   skin.itemJustification | kTextVCenter, colour);
  const TString search = context_->SearchText();
  const bool searchable =
      columnName == u"Name" || columnName == u"Author" || columnName == u"Genre";
  if ((state & kRowCurrent) && !search.IsEmpty() && searchable && skin.itemFont &&
      skin.searchHighlight) {
    const int32_t at = text.Find(search.c_str(), false);
    if (at >= 0) {
      MFont* font = skin.itemFont.Get();
      const int32_t before = font->TextWidth(text.c_str(), at);
      const int32_t through =
          font->TextWidth(text.c_str(), at + static_cast<int32_t>(search.Length()));
      RectI mark{rect.left + before, rect.top, std::min(rect.left + through, rect.right),
                 rect.bottom};
      if (mark.left < mark.right) drew |= DrawSkinImage(skin.searchHighlight.Get(), canvas, mark);
    }
  }
  return drew;
}

int32_t PlaylistRow::MeasureCell(const TString& columnName, int32_t rowIndex) {
  const PlaylistSkin& skin = context_->Skin();
  if (!skin.itemFont) return 0;
  const TString text = Text(columnName, rowIndex);
  return skin.itemFont->TextWidth(text.c_str(), static_cast<int32_t>(text.Length())) +
         skin.itemText.left - skin.itemText.right;
}

void PlaylistRow::Activate() {
  // Posted: the GUI thread never waits for the player's thread.
  if (MPlayer* player = context_->Player()) player->SeekToUID(id_, 0.0, 1, 1, 1);
}

}  // namespace vk2::gui
