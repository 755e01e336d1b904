// What a playlist row or column reads from the list that owns it: the skin, the playlist, the
// player's state and the type-ahead search text. The list outlives its rows and columns.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {
class MPlaylist;
class MPlayer;
}  // namespace vk2

namespace vk2::gui {

struct PlaylistSkin;

class PlaylistRowContext {
 public:
  virtual const PlaylistSkin& Skin() = 0;
  virtual MPlaylist* Playlist() = 0;
  virtual MPlayer* Player() = 0;
  virtual int32_t RowCount() = 0;
  virtual int32_t ColumnCount() = 0;
  virtual bool PlayerPlaying() = 0;
  virtual uint32_t PlayersItem() = 0;
  virtual TString SearchText() = 0;

 protected:
  ~PlaylistRowContext() = default;
};

}  // namespace vk2::gui
