// Loading the playlist view's look from the interface's "VK2_PlaylistWindow" block: the skin the
// rows, cells and columns draw with, the playlist shown and the border offsets. Without the
// block the defaults stay.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "gui/playlist_view/playlist_skin.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::gui {

struct PlaylistViewStyle {
  PlaylistSkin skin;
  TString playlistName;  // empty: "default"
  std::array<int32_t, 4> border{};
  RefPtr<MXmlNode> scrollBar;  // the block's "Scrollbar" child, for the bar's style object
};

// Resets `style` to its defaults (keeping the playlist name) and reads the block; false without
// a definition, `style` then unchanged.
bool LoadPlaylistViewStyle(MInterfaceDefinition* iface, PlaylistViewStyle* style);

}  // namespace vk2::gui
