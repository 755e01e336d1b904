// The texts of a playlist row's cells, by column name: the position, the name (title or the
// URL's file part), author, genre and time.
#pragma once

#include <cstdint>

#include "core/playlist/item_info.h"
#include "foundation/text/tstring.h"

namespace vk2::gui {

// "mm:ss" below an hour, "h:mm:ss" from there, rounded to whole seconds.
TString DurationText(double seconds);

// The name shown for an item: its title, else the part of its URL after the last separator.
TString ItemNameText(const ItemInfo& item);

// The cell of `column` for the row at `index`; `item` null while the record cannot be had
// (only "#" shows then).
TString CellText(const ItemInfo* item, const TString& column, int32_t index);

}  // namespace vk2::gui
