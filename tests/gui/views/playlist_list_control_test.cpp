// The playlist list over a playlist of the media core and the GUI layer's list view part: it
// follows the playlist's change lists, moves by dropping, removes, undoes and redoes, finds by
// typing and follows the player.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/playlist/playlist_control.h"
#include "gui/playlist_view/playlist_list_control.h"
#include "gui/playlist_view/playlist_row.h"
#include "oru/gui/listview/list_view_part.h"
#include "platform/fake_clock.h"
#include "tests/gui/support/state_player.h"

namespace vk2::gui {
namespace {

// Waits (real time, bounded) for a condition another thread brings about.
template <class F>
bool Eventually(F condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::yield();
  }
  return true;
}

class PlaylistListControlTest : public ::testing::Test {
 protected:
  PlaylistListControlTest() {
    PlaylistSettings settings;
    settings.clock = &clock_;
    playlist_ = PlaylistControl::Create(std::move(settings));
    void* made = nullptr;
    EXPECT_EQ(ListViewPart::Create(nullptr, kIID_MPlaylistView, &made), 0);
    view_ = RefPtr<MPlaylistView>::Adopt(static_cast<MPlaylistView*>(made));
    player_ = RefPtr<test::StatePlayer>(new test::StatePlayer);
  }
  ~PlaylistListControlTest() override {
    control_.reset();
    playlist_->Shutdown();
  }

  void Start() {
    control_ =
        std::make_unique<PlaylistListControl>(view_.Get(), playlist_.Get(), player_.Get(), &skin_);
    control_->AddColumns();
  }
  // Adds items titled by these names at the bottom; their ids.
  std::vector<uint32_t> Add(std::initializer_list<const char*> names,
                            uint32_t after = kPlaylistBottom) {
    std::vector<ItemInfo> items;
    for (const char* name : names) {
      ItemInfo item;
      item.SetUrl(Utf16(std::string("file:///music/") + name + ".ogg"));
      item.SetTitle(Utf16(name));
      items.push_back(item);
    }
    TArray<uint32_t> ids;
    EXPECT_EQ(playlist_->AddItems(items.data(), static_cast<uint32_t>(items.size()), after, &ids),
              0);
    return std::vector<uint32_t>(ids.begin(), ids.end());
  }
  std::vector<uint32_t> PlaylistOrder() {
    TArray<uint32_t> ids;
    playlist_->GetCurrentList(&ids, nullptr);
    return std::vector<uint32_t>(ids.begin(), ids.end());
  }
  std::vector<uint32_t> ViewOrder() {
    std::vector<uint32_t> ids;
    const int32_t count = view_->RowCount();
    std::vector<MListViewRow*> rows(static_cast<size_t>(count));
    if (count > 0 && view_->GetRows(0, count, rows.data())) {
      for (MListViewRow* row : rows) {
        ids.push_back(row->GetId());
        row->Release();
      }
    }
    return ids;
  }
  // The view shows what the playlist holds, once the change lists have come.
  ::testing::AssertionResult InStep() {
    if (Eventually([&] { return ViewOrder() == PlaylistOrder(); }))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the view does not follow the playlist";
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (uint32_t id : PlaylistOrder()) {
      ItemInfo item;
      playlist_->GetUIDInfo(id, &item);
      names.push_back(Utf8(item.title).c_str());
    }
    return names;
  }
  std::string CurrentName() {
    ItemInfo item;
    if (playlist_->GetUIDInfo(view_->GetCurrentId(), &item) < 0) return "";
    return Utf8(item.title).c_str();
  }
  void Select(std::initializer_list<uint32_t> ids) {
    std::vector<uint32_t> list(ids);
    ASSERT_EQ(view_->SetSelection(list.data(), static_cast<int32_t>(list.size())), 1);
  }
  bool Drop(std::vector<int32_t> indexes, int32_t target) {
    std::vector<MListViewRow*> rows;
    for (int32_t index : indexes) {
      MListViewRow* row = nullptr;
      view_->GetRows(index, 1, &row);
      rows.push_back(row);
    }
    const bool moved = control_->DropRows(rows.data(), static_cast<int32_t>(rows.size()), target);
    for (MListViewRow* row : rows)
      row->Release();
    return moved;
  }

  FakeClock clock_{1000};
  RefPtr<PlaylistControl> playlist_;
  RefPtr<MPlaylistView> view_;
  RefPtr<test::StatePlayer> player_;
  PlaylistSkin skin_;
  std::unique_ptr<PlaylistListControl> control_;
};

TEST_F(PlaylistListControlTest, StartsWithTheRowsAndColumnsOfThePlaylist) {
  Add({"one", "two", "three"});
  Start();
  EXPECT_EQ(ViewOrder(), PlaylistOrder());
  ASSERT_EQ(view_->ColumnCount(), 5);
  // The columns went to the view in this order; the view's width rule reads them back.
  EXPECT_GT(view_->ColumnWidth(0), 0);
  EXPECT_EQ(view_->ColumnWidth(5), -1);
}

TEST_F(PlaylistListControlTest, FollowsEveryKindOfChangeList) {
  const std::vector<uint32_t> ids = Add({"a", "b", "c", "d", "e", "f"});
  Start();
  // Inserted at the top, in the middle and at the bottom.
  Add({"top"}, kPlaylistTop);
  Add({"middle"}, ids[2]);
  Add({"bottom"});
  EXPECT_TRUE(InStep());
  // Removed ids that are not neighbours.
  const uint32_t gone[] = {ids[1], ids[3], ids[5]};
  EXPECT_EQ(playlist_->RemoveItems(gone, 3), 3);
  EXPECT_TRUE(InStep());
  // Moved from apart to one run, up and down.
  const uint32_t moved[] = {ids[4], ids[0]};
  EXPECT_EQ(playlist_->MoveItems(moved, 2, kPlaylistTop), 2);
  EXPECT_TRUE(InStep());
  const uint32_t down[] = {ids[4]};
  EXPECT_EQ(playlist_->MoveItems(down, 1, kPlaylistBottom), 1);
  EXPECT_TRUE(InStep());
  // Reordered as a whole.
  EXPECT_EQ(playlist_->Reverse(), 0);
  EXPECT_TRUE(InStep());
  EXPECT_EQ(playlist_->Sort(PlaylistSortKey::kTitle, 1, TString()), 0);
  EXPECT_TRUE(InStep());
  // A changed item is read again.
  ItemInfo renamed;
  renamed.SetTitle(u"renamed");
  EXPECT_EQ(playlist_->SetItemInfo(ids[2], renamed), 0);
  EXPECT_TRUE(Eventually([&] {
    MListViewRow* row = nullptr;
    if (!view_->GetRows(view_->IndexOfId(ids[2]), 1, &row)) return false;
    const bool seen = static_cast<PlaylistRow*>(row)->Text(u"Name", 0) == u"renamed";
    row->Release();
    return seen;
  }));
  // Cleared.
  EXPECT_EQ(playlist_->RemoveAll(), 0);
  EXPECT_TRUE(Eventually([&] { return view_->RowCount() == 0; }));
}

TEST_F(PlaylistListControlTest, AReorderOfAnotherLengthIsIgnored) {
  const std::vector<uint32_t> ids = Add({"a", "b", "c"});
  Start();
  PlaylistChange change;
  change.type = PlaylistChangeType::kAllItemsMoved;
  change.ids.Append(ids[2]);
  change.ids.Append(ids[1]);
  PlaylistChangeList list;
  list.records.Append(std::move(change));
  control_->OnChange(&list);
  EXPECT_EQ(ViewOrder(), ids);
}

TEST_F(PlaylistListControlTest, DroppedRowsMoveInRunsAndUndoPutsEachRunBack) {
  Add({"r0", "r1", "r2", "r3", "r4", "r5", "r6"});
  Start();
  const std::vector<std::string> before = Names();
  // Rows 2, 3 and 5 dropped before row 1: two runs.
  ASSERT_TRUE(Drop({2, 3, 5}, 1));
  EXPECT_EQ(Names(), (std::vector<std::string>{"r0", "r2", "r3", "r5", "r1", "r4", "r6"}));
  EXPECT_TRUE(InStep());
  control_->Undo();
  EXPECT_EQ(Names(), before);
  EXPECT_TRUE(InStep());
  control_->Redo();
  EXPECT_EQ(Names(), (std::vector<std::string>{"r0", "r2", "r3", "r5", "r1", "r4", "r6"}));
  // Dropped at the end, and on one of the dragged rows (lands after the rows above it).
  ASSERT_TRUE(Drop({0}, -1));
  EXPECT_EQ(Names(), (std::vector<std::string>{"r2", "r3", "r5", "r1", "r4", "r6", "r0"}));
  EXPECT_TRUE(InStep());
  ASSERT_TRUE(Drop({1, 2}, 2));
  EXPECT_EQ(Names(), (std::vector<std::string>{"r2", "r3", "r5", "r1", "r4", "r6", "r0"}));
}

TEST_F(PlaylistListControlTest, DeleteRemovesTheSelectionAndUndoBringsItBackUnderItsIds) {
  const std::vector<uint32_t> ids = Add({"a", "b", "c", "d", "e"});
  Start();
  Select({ids[1], ids[3], ids[4]});
  EXPECT_TRUE(control_->KeyDown(kKeyDelete, 0));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(InStep());
  EXPECT_TRUE(control_->KeyDown('z', kModCtrl));
  EXPECT_EQ(PlaylistOrder(), ids);
  EXPECT_TRUE(InStep());
  EXPECT_TRUE(control_->KeyDown('y', kModCtrl));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
  // Nothing selected: nothing happens.
  Select({});
  control_->KeyDown(kKeyDelete, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(PlaylistListControlTest, TheUndoStackKeepsTheTenNewestRecords) {
  std::vector<uint32_t> ids;
  for (int i = 0; i < 12; ++i) {
    const std::string name = "item" + std::to_string(i);
    ids.push_back(Add({name.c_str()})[0]);
  }
  Start();
  for (int i = 0; i < 11; ++i) {
    ASSERT_TRUE(InStep());
    control_->RemoveIds({ids[static_cast<size_t>(i)]});
  }
  EXPECT_EQ(control_->Stacks().UndoCount(), 10u);
  for (int i = 0; i < 11; ++i)
    control_->Undo();
  // The first removal is gone for good; the other ten came back where they were.
  std::vector<uint32_t> expected(ids.begin() + 1, ids.end());
  EXPECT_EQ(PlaylistOrder(), expected);
  EXPECT_EQ(control_->Stacks().RedoCount(), 10u);
  // A redone removal leaves what else there is to redo.
  control_->Redo();
  EXPECT_EQ(control_->Stacks().RedoCount(), 9u);
  // A new action empties the redo stack.
  ASSERT_TRUE(InStep());
  control_->RemoveIds({ids[11]});
  EXPECT_EQ(control_->Stacks().RedoCount(), 0u);
}

TEST_F(PlaylistListControlTest, CtrlDEmptiesThePlaylistWithoutAnUndo) {
  Add({"a", "b"});
  Start();
  EXPECT_TRUE(control_->KeyDown('d', kModCtrl));
  EXPECT_EQ(playlist_->GetCount(), 0);
  control_->KeyDown('z', kModCtrl);
  EXPECT_EQ(playlist_->GetCount(), 0);
}

TEST_F(PlaylistListControlTest, TypingFindsByNameAuthorOrGenreAndWrapsOnce) {
  const std::vector<uint32_t> ids = Add({"Alpha", "Beta", "Gamma", "Delta"});
  ItemInfo extra;
  extra.SetAuthor(u"Zed Quartet");
  playlist_->SetItemInfo(ids[2], extra);
  Start();
  ASSERT_TRUE(control_->Text(u"e", -1));
  EXPECT_EQ(CurrentName(), "Beta");
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "e");
  ASSERT_TRUE(control_->Text(u"L", -1));  // "el": case ignored
  EXPECT_EQ(CurrentName(), "Delta");
  // A character that matches nothing is taken back.
  control_->Text(u"x", -1);
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "eL");
  EXPECT_EQ(CurrentName(), "Delta");
  // The selection follows the match.
  std::vector<uint32_t> selected(4);
  ASSERT_EQ(view_->GetSelection(selected.data(), 4), 1);
  EXPECT_EQ(selected[0], ids[3]);
  // Backspace shortens the text; F3 searches on from the next row, wrapping to row 0.
  EXPECT_TRUE(control_->KeyDown(kKeyBackspace, 0));
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "e");
  EXPECT_TRUE(control_->KeyDown(kKeyF3, 0));
  EXPECT_EQ(CurrentName(), "Beta");
  // The author counts too.
  control_->KeyDown(kKeyEscape, 0);
  control_->Text(u"zed", -1);
  EXPECT_EQ(CurrentName(), "Gamma");
  for (int i = 0; i < 3; ++i)
    control_->KeyDown(kKeyBackspace, 0);
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "");
  control_->Text(u"a", -1);
  EXPECT_EQ(CurrentName(), "Gamma");
  // Shift+F3 searches backward, wrapping once to the last row.
  std::vector<std::string> seen;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(control_->KeyDown(kKeyF3, kModShift));
    seen.push_back(CurrentName());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Beta", "Alpha", "Delta"}));
  // Escape clears the search and the selection and goes on to the view.
  EXPECT_FALSE(control_->KeyDown(kKeyEscape, 0));
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "");
  EXPECT_EQ(view_->GetSelection(nullptr, 0), 0);
  // A change of selection not made by the search ends it.
  control_->Text(u"g", -1);
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "g");
  control_->SelectionOrCurrentChanged();
  EXPECT_EQ(std::string(Utf8(control_->SearchText()).c_str()), "");
}

TEST_F(PlaylistListControlTest, EnterPlaysTheCurrentItemAndPlayerEventsAreFollowed) {
  const std::vector<uint32_t> ids = Add({"a", "b"});
  player_->currentId = ids[1];
  player_->state = test::StatePlayer::kPlaying;
  Start();
  EXPECT_TRUE(control_->PlayerPlaying());
  EXPECT_EQ(control_->PlayersItem(), ids[1]);
  control_->OnPlayerEvent(kPlayerStopping);
  EXPECT_FALSE(control_->PlayerPlaying());
  control_->OnPlayerEvent(kPlayerPlaying);
  EXPECT_TRUE(control_->PlayerPlaying());
  control_->OnPlayerEvent(kPlayerPlayFailed);
  EXPECT_FALSE(control_->PlayerPlaying());
  player_->currentId = ids[0];
  control_->OnPlayerEvent(kPlayerCurrentIdChanged);
  EXPECT_EQ(control_->PlayersItem(), ids[0]);
  ASSERT_EQ(view_->SetCurrentId(ids[1]), 1);
  EXPECT_TRUE(control_->KeyDown(kKeyEnter, 0));
  EXPECT_EQ(player_->wentTo, ids[1]);
}

}  // namespace
}  // namespace vk2::gui
