#include "gui/playlist_view/playlist_list_window.h"

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "gui/playlist_view/playlist_drawing.h"

namespace vk2::gui {

int32_t MakeBrintPart(const Guid& iid, MUnknown* outer, void** out) {
  return RuntimeCreateInstance(kBrintClass, iid, out, outer);
}

RefPtr<PlaylistListWindow> PlaylistListWindow::Create(MPlaylist* playlist, MPlayer* player,
                                                      const PlaylistSkin* skin,
                                                      GuiPartMaker makePart) {
  RefPtr<PlaylistListWindow> window(new PlaylistListWindow(skin));
  void* inner = nullptr;
  if (makePart(kIID_MPlaylistView, static_cast<MPlaylistView*>(window.Get()), &inner) < 0 ||
      !inner) {
    return nullptr;
  }
  window->partInner_ = static_cast<MUnknown*>(inner);
  window->part_ = QueryBorrowed<MPlaylistView>(window->partInner_, kIID_MPlaylistView);
  if (!window->part_) return nullptr;
  window->control_ = std::make_unique<PlaylistListControl>(window.Get(), playlist, player, skin);
  return window;
}

PlaylistListWindow::~PlaylistListWindow() {
  control_.reset();
  if (partInner_) partInner_->Release();
}

MUnknown* PlaylistListWindow::QueryMore(const Guid& iid) {
  return QueryBorrowed<MUnknown>(partInner_, iid);
}

int32_t PlaylistListWindow::HitCode(const PointI* point) {
  const int32_t code = part_->HitCode(point);
  // The list takes the keyboard when pressed.
  return code ? (code | kHitInputFocus) : code;
}

int32_t PlaylistListWindow::Notify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated && control_ && part_->ColumnCount() == 0) control_->AddColumns();
  return part_->Notify(code, argument);
}

int32_t PlaylistListWindow::Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  if (control_ && code == kQueryKeyDown && a) {
    const auto* key = reinterpret_cast<const KeyEvent*>(a);
    if (control_->KeyDown(key->key, key->modifiers)) return 1;
  }
  if (control_ && code == kQueryText && a) {
    if (control_->Text(reinterpret_cast<const char16_t*>(a), static_cast<int32_t>(b))) return 1;
  }
  return part_->Query(code, a, b, c);
}

int32_t PlaylistListWindow::DropRows(MListViewRow* const* rows, int32_t count, int32_t target) {
  return control_ && control_->DropRows(rows, count, target) ? 1 : 0;
}

int32_t PlaylistListWindow::DrawHeaderBackground(MCanvas* canvas, const RectI* rect) {
  return rect && DrawSkinImage(skin_->headerBackground.Get(), canvas, *rect) ? 1 : 0;
}

int32_t PlaylistListWindow::DrawContentBackground(MCanvas* canvas, const RectI* rect) {
  return rect && DrawSkinImage(skin_->contentBackground.Get(), canvas, *rect) ? 1 : 0;
}

int32_t PlaylistListWindow::DrawHeaderDropHint(MCanvas* canvas, const RectI* rect) {
  return rect && DrawSkinImage(skin_->headerDropHint.Get(), canvas, *rect) ? 1 : 0;
}

int32_t PlaylistListWindow::DrawItemDropHint(MCanvas* canvas, const RectI* rect) {
  return rect && DrawSkinImage(skin_->itemDropHint.Get(), canvas, *rect) ? 1 : 0;
}

int32_t PlaylistListWindow::ContentRedrawMode() {
  return skin_->redrawContent ? kListRedrawWhole : 0;
}

int32_t PlaylistListWindow::HeaderBackgroundRedrawMode() {
  return skin_->redrawHeaderBackground ? kListRedrawWhole : 0;
}

int32_t PlaylistListWindow::HeaderRedrawMode() {
  return skin_->redrawHeader ? kListRedrawWhole : 0;
}

int32_t PlaylistListWindow::SelectionChanged() {
  if (control_) control_->SelectionOrCurrentChanged();
  return 0;
}

int32_t PlaylistListWindow::CurrentChanged() {
  if (control_) control_->SelectionOrCurrentChanged();
  return 0;
}

}  // namespace vk2::gui
