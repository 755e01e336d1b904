// The playlist view window type: a shell around the playlist list (which follows one playlist
// and the default player), styled by the interface's "VK2_PlaylistWindow" block, with the six
// script methods of the view.
#pragma once

#include <functional>

#include "gui/playlist_view/playlist_list_window.h"
#include "gui/playlist_view/playlist_methods.h"
#include "gui/playlist_view/playlist_scroll_bar.h"
#include "gui/playlist_view/playlist_style.h"
#include "gui/window_base/module_window.h"
#include "interfaces/core/core.h"
#include "interfaces/markup/window_definition.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {

// Where the view finds the playlist of a name ("" is "default") and the default player.
struct PlaylistSources {
  std::function<RefPtr<MPlaylist>(const TString& name)> playlist;
  std::function<RefPtr<MPlayer>()> player;
};

class PlaylistWindow final : public ModuleWindow<PlaylistWindow>, public PlaylistMethodTarget {
 public:
  PlaylistWindow(MUnknown* base, PlaylistSources sources);
  ~PlaylistWindow() override;

  // Names the script object, adds the methods, opens the "playlistview" preference section.
  void Setup();
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface);
  const PlaylistViewStyle& Style() const { return style_; }
  // The list, from the window's creation to its destruction; else null.
  PlaylistListWindow* List() { return list_.Get(); }
  // The vertical bar beside the list; shown while the list has rows out of sight.
  PlaylistScrollBar& ScrollBar() { return scrollBar_; }

  MPlaylistView* ListView() override;

  bool IsPage() const override { return true; }
  std::array<int32_t, 4> PageBorder() override { return style_.border; }
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;
  // The list tells of its scrolling and of its size: the bar follows.
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override;

 private:
  void CreateList();
  void SaveListState();
  // Shows or hides the bar and gives the list the room that leaves.
  void FollowList();

  PlaylistSources sources_;
  PlaylistViewStyle style_;
  RefPtr<MPreferenceStore> section_;
  RefPtr<PlaylistListWindow> list_;
  PlaylistScrollBar scrollBar_;
};

}  // namespace vk2::gui
