// The display's page list and the playlist's cell texts from any text: the names come out
// without their quotes and separators, and every cell text of an item built from the input is
// made without harm.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gui/display/display_state.h"
#include "gui/playlist_view/playlist_cells.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vk2::TString text = vk2::FromNarrowString(reinterpret_cast<const char*>(data),
                                                  static_cast<int32_t>(size < 4096 ? size : 4096));
  for (const vk2::TString& name : vk2::gui::DisplayStateNames(text)) {
    if (name.Length() > text.Length()) std::abort();
  }
  vk2::ItemInfo item;
  item.SetUrl(text);
  if (size > 0 && (data[0] & 1)) item.SetTitle(text.Mid(1));
  item.SetDuration(size > 1 ? static_cast<float>(data[1]) * 1000.0f : 0.0f,
                   size > 2 ? data[2] & 7u : 0u);
  for (const char16_t* column : {u"#", u"Name", u"Author", u"Genre", u"Time", u"Other"}) {
    const vk2::TString cell = vk2::gui::CellText(&item, column, static_cast<int32_t>(size));
    if (vk2::TString(column) == u"Name" && cell.Length() > text.Length()) std::abort();
  }
  return 0;
}
