// The playlist list as a window in a headless host: rows drawn with the skin, and the mouse,
// keys and typed text reaching the playlist through the GUI layer's list view.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/playlist/playlist_control.h"
#include "gui/playlist_view/playlist_list_window.h"
#include "oru/gui/listview/list_view_part.h"
#include "tests/gui/views/view_fakes.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

int32_t MakeListView(const Guid& iid, MUnknown* outer, void** out) {
  return ListViewPart::Create(outer, iid, out);
}

constexpr uint32_t kRowColour = 0xFFCC0000;
constexpr uint32_t kSelectedColour = 0xFF0000CC;

class PlaylistListWindowTest : public GuiTest {
 protected:
  PlaylistListWindowTest() {
    PlaylistSettings settings;
    settings.clock = &clock_;
    playlist_ = PlaylistControl::Create(std::move(settings));
    ItemInfo items[4];
    const char16_t* names[] = {u"Alpha", u"Beta", u"Gamma", u"Delta"};
    for (int i = 0; i < 4; ++i) {
      items[i].SetUrl(TString(u"file:///m/").ConcatText(names[i]));
      items[i].SetTitle(names[i]);
    }
    TArray<uint32_t> ids;
    playlist_->AddItems(items, 4, kPlaylistBottom, &ids);
    ids_.assign(ids.begin(), ids.end());
    skin_.sets[kSetRow].entries[kSetBase] = RefPtr<MImageStyleDrawing>(new SolidImage(kRowColour));
    skin_.sets[kSetSelectedRow].entries[kSetBase] =
        RefPtr<MImageStyleDrawing>(new SolidImage(kSelectedColour));
    skin_.CompleteSets(true, false, false);

    root_ = RecordingPart::Make(0xFF000000);
    host_ = MakeHost(root_.Get(), RectI{0, 0, 200, 100});
    window_ = PlaylistListWindow::Create(playlist_.Get(), nullptr, &skin_, &MakeListView);
    EXPECT_TRUE(window_);
    WindowPart::FromElement(window_.Get())->SetSize(SizeI{200, 100});
    EXPECT_EQ(root_->AttachChild(window_.Get(), kPlaceModeTop), 0);
    Turn();
    backendWindow_ = host_->BackendWindow();
  }
  ~PlaylistListWindowTest() override {
    root_->DetachChild(window_.Get());
    window_ = nullptr;
    playlist_->Shutdown();
  }
  int32_t RowY(int32_t index) { return 18 + index * 16 + 8; }
  std::vector<uint32_t> PlaylistOrder() {
    TArray<uint32_t> ids;
    playlist_->GetCurrentList(&ids, nullptr);
    return std::vector<uint32_t>(ids.begin(), ids.end());
  }
  std::vector<uint32_t> ViewOrder() {
    std::vector<uint32_t> ids;
    for (int32_t i = 0; i < window_->RowCount(); ++i) {
      MListViewRow* row = nullptr;
      window_->GetRows(i, 1, &row);
      ids.push_back(row->GetId());
      row->Release();
    }
    return ids;
  }
  // Turns the loop until the view shows the playlist's order (change lists come from the
  // playlist's own thread).
  bool InStep() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ViewOrder() != PlaylistOrder()) {
      if (std::chrono::steady_clock::now() > end) return false;
      Turn();
      std::this_thread::yield();
    }
    Turn();
    return true;
  }

  FakeClock clock_{1000};
  RefPtr<PlaylistControl> playlist_;
  std::vector<uint32_t> ids_;
  PlaylistSkin skin_;
  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
  RefPtr<PlaylistListWindow> window_;
  uint32_t backendWindow_ = 0;
};

TEST_F(PlaylistListWindowTest, RowsAreDrawnWithTheSkinAndTheColumnsComeAtCreation) {
  EXPECT_EQ(window_->ColumnCount(), 5);
  EXPECT_EQ(PixelAt(host_.Get(), 50, RowY(0)), kRowColour);
  EXPECT_EQ(PixelAt(host_.Get(), 50, RowY(3)), kRowColour);
  backend_->Click(backendWindow_, 50, RowY(1));
  Turn();
  uint32_t selected = 0;
  ASSERT_EQ(window_->GetSelection(&selected, 1), 1);
  EXPECT_EQ(selected, ids_[1]);
  // Selected and current: the current-and-selected set, which was not given, is the current
  // set, which was not given either: the row set.
  EXPECT_EQ(PixelAt(host_.Get(), 50, RowY(1)), kRowColour);
  // Row 1 stays selected while the current row moves on: the selected set.
  backend_->Click(backendWindow_, 50, RowY(2), 1, kModCtrl);
  Turn();
  EXPECT_EQ(PixelAt(host_.Get(), 50, RowY(1)), kSelectedColour);
  EXPECT_EQ(PixelAt(host_.Get(), 50, RowY(2)), kRowColour);
  EXPECT_EQ(PixelAt(host_.Get(), 50, RowY(0)), kRowColour);
  EXPECT_GT(static_cast<SolidImage*>(skin_.sets[kSetRow].entries[kSetBase].Get())->draws, 4);
}

TEST_F(PlaylistListWindowTest, DeleteAndUndoThroughTheKeyboard) {
  backend_->Click(backendWindow_, 50, RowY(1));
  Turn();
  backend_->Key(backendWindow_, kKeyDelete);
  Turn();
  EXPECT_EQ(PlaylistOrder(), (std::vector<uint32_t>{ids_[0], ids_[2], ids_[3]}));
  EXPECT_TRUE(InStep());
  backend_->Key(backendWindow_, 'z', kModCtrl);
  Turn();
  EXPECT_EQ(PlaylistOrder(), ids_);
  EXPECT_TRUE(InStep());
  backend_->Key(backendWindow_, 'y', kModCtrl);
  Turn();
  EXPECT_EQ(PlaylistOrder(), (std::vector<uint32_t>{ids_[0], ids_[2], ids_[3]}));
}

TEST_F(PlaylistListWindowTest, TypedTextFindsAnItemAndKeepsItsSearchThroughTheSelection) {
  backend_->Click(backendWindow_, 50, RowY(0));
  Turn();
  backend_->Text(backendWindow_, u"mm");
  Turn();
  EXPECT_EQ(window_->GetCurrentId(), ids_[2]);
  // The selection change the match caused does not end the search.
  EXPECT_EQ(Utf8(window_->Control()->SearchText()), "mm");
  backend_->Key(backendWindow_, kKeyEscape);
  Turn();
  EXPECT_EQ(Utf8(window_->Control()->SearchText()), "");
}

TEST_F(PlaylistListWindowTest, DraggedRowsAreMovedByThePlaylist) {
  backend_->Click(backendWindow_, 50, RowY(0));
  Turn();
  backend_->Press(backendWindow_, 50, RowY(0));
  Turn();
  backend_->MoveTo(backendWindow_, 50, RowY(2) + 4);  // past the middle of row 2: before row 3
  Turn();
  backend_->ReleaseButton(backendWindow_, 50, RowY(2) + 4);
  Turn();
  EXPECT_EQ(PlaylistOrder(), (std::vector<uint32_t>{ids_[1], ids_[2], ids_[0], ids_[3]}));
  EXPECT_TRUE(InStep());
  window_->Control()->Undo();
  EXPECT_EQ(PlaylistOrder(), ids_);
  EXPECT_TRUE(InStep());
}

}  // namespace
}  // namespace vk2::gui::test
