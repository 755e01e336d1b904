// The playlist list as a window: the GUI layer's list view part, aggregated behind a wrapper
// that answers the part's callbacks (drops, backgrounds and drop hints from the skin, redraw
// modes, selection and current changes) and takes the keys and typed text the list handles.
#pragma once

#include <memory>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "gui/playlist_view/list_view_forwarder.h"
#include "gui/playlist_view/playlist_list_control.h"
#include "interfaces/ids.h"

namespace vk2::gui {

// Makes a GUI-layer part for `iid` aggregated into `outer`: its inner unknown in `*out`.
using GuiPartMaker = int32_t (*)(const Guid& iid, MUnknown* outer, void** out);
// The runtime's BrintClass.
int32_t MakeBrintPart(const Guid& iid, MUnknown* outer, void** out);

class PlaylistListWindow final
    : public ComObject<PlaylistListWindow, Face<ListViewForwarder, kIID_MPlaylistView,
                                                kIID_MWindowElement, kIID_MBrintWindow>> {
 public:
  // The window with one reference, or null when no list view part is made. `skin` belongs to
  // the playlist view and outlives the window.
  static RefPtr<PlaylistListWindow> Create(MPlaylist* playlist, MPlayer* player,
                                           const PlaylistSkin* skin,
                                           GuiPartMaker makePart = &MakeBrintPart);

  PlaylistListControl* Control() { return control_.get(); }

  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                              uint32_t reserved) override {
    return QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t InnerAddRef() override { return AddRef(); }
  uint32_t InnerRelease() override { return Release(); }

  // Window operations it handles.
  int32_t HitCode(const PointI* point) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;

  // Callbacks of the list view part.
  int32_t DropRows(MListViewRow* const* rows, int32_t count, int32_t target) override;
  int32_t DrawHeaderBackground(MCanvas* canvas, const RectI* rect) override;
  int32_t DrawContentBackground(MCanvas* canvas, const RectI* rect) override;
  int32_t DrawHeaderDropHint(MCanvas* canvas, const RectI* rect) override;
  int32_t DrawItemDropHint(MCanvas* canvas, const RectI* rect) override;
  int32_t ContentRedrawMode() override;
  int32_t HeaderBackgroundRedrawMode() override;
  int32_t HeaderRedrawMode() override;
  int32_t SelectionChanged() override;
  int32_t CurrentChanged() override;

 private:
  explicit PlaylistListWindow(const PlaylistSkin* skin) : skin_(skin) {}
  ~PlaylistListWindow() override;

  // The wrapper's faces first, then the part's.
  MUnknown* QueryMore(const Guid& iid) override;

  const PlaylistSkin* const skin_;
  MUnknown* partInner_ = nullptr;  // one reference
  std::unique_ptr<PlaylistListControl> control_;
};

}  // namespace vk2::gui
