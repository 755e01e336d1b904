// One playlist item as a row of the list view: fetches the item's record when first drawn,
// draws its background by position and state and its cells' texts.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>

#include "component/object/com_object.h"
#include "core/playlist/item_info.h"
#include "interfaces/gui/list_view_items.h"

namespace vk2::gui {

class PlaylistRowContext;

class PlaylistRow final : public ComObject<PlaylistRow, SilentFace<MListViewRow>> {
 public:
  PlaylistRow(PlaylistRowContext* context, uint32_t id) : context_(context), id_(id) {}

  bool DrawBackground(MCanvas* canvas, const RectI& rect, int32_t rowIndex,
                      uint32_t state) override;
  bool DrawCell(MCanvas* canvas, const RectI& rect, const TString& columnName, int32_t rowIndex,
                uint32_t state) override;
  int32_t MeasureCell(const TString& columnName, int32_t rowIndex) override;
  uint32_t GetId() override { return id_; }
  void Activate() override;

  // The playlist changed the item: the next use fetches it again. Any thread.
  void MarkNotFetched() { fetched_.store(false); }
  // The text of a cell, fetching the record when needed.
  TString Text(const TString& columnName, int32_t rowIndex);

 private:
  ~PlaylistRow() override = default;
  // The record, or nothing while it cannot be read.
  std::optional<ItemInfo> Record();

  PlaylistRowContext* const context_;
  const uint32_t id_;
  std::mutex recordMutex_;
  ItemInfo record_;
  bool haveRecord_ = false;
  std::atomic<bool> fetched_{false};
};

}  // namespace vk2::gui
