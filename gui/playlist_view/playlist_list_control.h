// The playlist list: turns one playlist of the media core into the rows of a list view and
// keeps them in step with the playlist's change lists and the player's events; handles the
// keyboard (delete, play, type-ahead search, undo, redo, clear) and moving rows by dropping.
//
// Change lists and player events arrive on media-core threads; each is handled under its own
// lock and only changes rows and asks for repaints, which the list view hands to the GUI loop.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "gui/playlist_view/playlist_row_context.h"
#include "gui/playlist_view/playlist_skin.h"
#include "gui/playlist_view/playlist_undo.h"
#include "interfaces/core/player.h"
#include "interfaces/core/playlist.h"
#include "interfaces/gui/function_keys.h"
#include "interfaces/gui/list_view.h"

namespace vk2::gui {

class PlaylistRow;

class PlaylistListControl final : public PlaylistRowContext, public MPlaylistListener {
 public:
  // Follows `playlist` and `player` (either may be null) in `view`, whose rows it owns.
  // `skin` belongs to the view window and outlives the control.
  PlaylistListControl(MPlaylistView* view, MPlaylist* playlist, MPlayer* player,
                      const PlaylistSkin* skin);
  ~PlaylistListControl();
  PlaylistListControl(const PlaylistListControl&) = delete;
  PlaylistListControl& operator=(const PlaylistListControl&) = delete;

  // Appends the five columns and clears the search (the window was created).
  void AddColumns();

  // ---- the list view's callbacks ----
  // Dragged rows were dropped before row `target` (-1: at the end).
  bool DropRows(MListViewRow* const* rows, int32_t count, int32_t target);
  void SelectionOrCurrentChanged();

  // ---- input; true when the control took it ----
  // Keys of the GUI layer (Key codes and kMod* modifiers).
  bool KeyDown(int32_t key, uint32_t modifiers);
  // Typed text.
  bool Text(const char16_t* text, int32_t length);

  // ---- actions ----
  void RemoveSelection();
  void RemoveIds(std::vector<uint32_t> ids);
  void Undo();
  void Redo();
  // Searches from the row at `position` in the given direction; true on a match.
  bool Search(int32_t position, bool forward);

  // MPlaylistListener: any thread.
  int32_t OnChange(const PlaylistChangeList* changes) override;
  // Player events: any thread.
  void OnPlayerEvent(int32_t code);

  // PlaylistRowContext.
  const PlaylistSkin& Skin() override { return *skin_; }
  MPlaylist* Playlist() override { return playlist_.Get(); }
  MPlayer* Player() override { return player_.Get(); }
  int32_t RowCount() override { return view_->RowCount(); }
  int32_t ColumnCount() override { return view_->ColumnCount(); }
  bool PlayerPlaying() override { return playing_.load(); }
  uint32_t PlayersItem() override { return playersItem_.load(); }
  TString SearchText() override;

  UndoStacks& Stacks() { return stacks_; }

 private:
  class PlayerEar;

  void BuildRows();
  void ApplyChange(const PlaylistChange& change);
  void ReadPlayerInfo();
  void InvalidateId(uint32_t id);
  int32_t InsertIndex(uint32_t afterId);
  RefPtr<MListViewRow> MakeRow(uint32_t id);
  uint32_t IdAt(int32_t index);
  // Index-sorted (index, id) pairs of `ids`; false when an id has no row.
  bool SortedIndexes(const std::vector<uint32_t>& ids,
                     std::vector<std::pair<int32_t, uint32_t>>* pairs);
  void ClearSearch();
  bool Escape();
  bool Backspace();
  bool TypeCharacter(char16_t c);
  bool RowMatches(int32_t index, const TString& text);
  int32_t CurrentRow();

  MPlaylistView* const view_;
  RefPtr<MPlaylist> playlist_;
  RefPtr<MPlayer> player_;
  const PlaylistSkin* const skin_;
  RefPtr<PlayerEar> ear_;

  std::recursive_mutex rowsMutex_;
  std::recursive_mutex playerMutex_;
  UndoStacks stacks_;

  std::mutex searchMutex_;
  TString search_;
  int32_t searchPosition_ = 0;
  bool searchForward_ = true;
  std::atomic<bool> searching_{false};

  std::atomic<bool> playing_{false};
  std::atomic<uint32_t> playersItem_{0};
};

}  // namespace vk2::gui
