// The list view part in a headless host: rows drawn under a header, picks by click, Ctrl and
// Shift, keys and the wheel, drag-moving the selection, activation, column resizing.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "component/object/com_object.h"
#include "oru/gui/listview/list_view_part.h"
#include "tests/oru/gui/listview/list_rows.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

using vk2::test::WidthColumn;

// A row that records its last background draw and its activations.
class SeenRow final : public ComObject<SeenRow, SilentFace<MListViewRow>> {
 public:
  explicit SeenRow(uint32_t id) : id_(id) {}
  bool DrawBackground(MCanvas*, const RectI& rect, int32_t index, uint32_t state) override {
    lastRect = rect;
    lastIndex = index;
    lastState = state;
    ++draws;
    return true;
  }
  bool DrawCell(MCanvas*, const RectI&, const TString&, int32_t, uint32_t) override {
    ++cells;
    return true;
  }
  int32_t MeasureCell(const TString&, int32_t) override { return 0; }
  uint32_t GetId() override { return id_; }
  void Activate() override { ++activated; }

  RectI lastRect;
  int32_t lastIndex = -1;
  uint32_t lastState = 0;
  int32_t cells = 0;
  int32_t activated = 0;
  int32_t draws = 0;

 private:
  uint32_t id_;
};

class ListViewPartTest : public GuiTest {
 protected:
  ListViewPartTest() {
    root_ = RecordingPart::Make(0xFF000000);
    host_ = MakeHost(root_.Get(), RectI{0, 0, 200, 100});
    void* made = nullptr;
    EXPECT_EQ(ListViewPart::Create(nullptr, kIID_MPlaylistView, &made), 0);
    view_ = RefPtr<MPlaylistView>::Adopt(static_cast<MPlaylistView*>(made));
    WindowPart* core = WindowPart::FromElement(view_.Get());
    core->SetSize(SizeI{200, 100});  // header 18, rows of 16: five whole rows
    EXPECT_EQ(root_->AttachChild(view_.Get(), kPlaceModeTop), 0);
    std::vector<MListViewRow*> raw;
    for (uint32_t id = 101; id <= 120; ++id) {
      rows_.emplace_back(new SeenRow(id));
      raw.push_back(rows_.back().Get());
    }
    EXPECT_EQ(view_->SetRows(raw.data(), static_cast<int32_t>(raw.size())), 1);
    Turn();
    window_ = host_->BackendWindow();
  }
  // The middle of row `index` as shown now.
  int32_t RowY(int32_t index) { return 18 + (index - view_->GetTopRow()) * 16 + 8; }
  void Click(int32_t index, uint32_t modifiers = 0) {
    backend_->Click(window_, 50, RowY(index), 1, modifiers);
    Turn();
  }
  std::vector<uint32_t> Selection() {
    std::vector<uint32_t> ids(static_cast<size_t>(view_->GetSelection(nullptr, 0)));
    view_->GetSelection(ids.data(), static_cast<int32_t>(ids.size()));
    return ids;
  }
  std::vector<uint32_t> Order() {
    std::vector<uint32_t> ids;
    for (int32_t i = 0; i < view_->RowCount(); ++i) {
      MListViewRow* row = nullptr;
      view_->GetRows(i, 1, &row);
      ids.push_back(row->GetId());
      row->Release();
    }
    return ids;
  }

  // The rows drawn since the last call, by index.
  std::vector<int32_t> Drawn() {
    std::vector<int32_t> drawn;
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i]->draws > 0) drawn.push_back(static_cast<int32_t>(i));
      rows_[i]->draws = 0;
    }
    return drawn;
  }

  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
  RefPtr<MPlaylistView> view_;
  std::vector<RefPtr<SeenRow>> rows_;
  uint32_t window_ = 0;
};

TEST_F(ListViewPartTest, ClicksKeysAndTheWheelPickScrollAndDrawRows) {
  EXPECT_EQ(view_->PageRows(), 5);
  Click(1);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{102}));
  EXPECT_EQ(view_->GetCurrentId(), 102u);
  Click(3, kModCtrl);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{102, 104}));
  Click(2, kModShift);  // the range from the anchor (the row Ctrl picked) alone
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{103, 104}));
  Click(0, kModCtrl | kModShift);  // and Ctrl adds that range to it
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{101, 102, 103, 104}));

  backend_->Key(window_, kKeyDown);  // the view took the focus on the press
  Turn();
  EXPECT_EQ(view_->GetCurrentId(), 102u);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{102}));
  backend_->Key(window_, kKeyEnd);
  Turn();
  EXPECT_EQ(view_->CurrentIndex(), 19);
  EXPECT_EQ(view_->GetTopRow(), 15);  // scrolled to show it
  PointI inside{50, 50};
  view_->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&inside), 2, 0);
  EXPECT_EQ(view_->GetTopRow(), 9);
  PointI onRow{50, RowY(10)};
  EXPECT_EQ(view_->RowAtPoint(&onRow), 10);
  PointI onHeader{50, 5};
  EXPECT_EQ(view_->RowAtPoint(&onHeader), -1);

  Step(16);
  EXPECT_EQ(rows_[9]->lastIndex, 9);
  EXPECT_EQ(rows_[9]->lastRect, (RectI{0, 18, 200, 34}));  // the top row under the header
  ASSERT_TRUE(view_->SetCurrentId(110));
  Step(16);
  EXPECT_EQ(rows_[9]->lastState, kRowCurrent);
  EXPECT_EQ(view_->SetCurrentId(999), 0);
}

TEST_F(ListViewPartTest, DraggingTheSelectionMovesItBeforeTheDropRow) {
  Click(0);
  Click(1, kModCtrl);
  // A press on a selected row keeps the selection so that the drag carries both rows.
  backend_->Press(window_, 50, RowY(0));
  Turn();
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{101, 102}));
  backend_->MoveTo(window_, 50, RowY(3) + 4);  // past the middle of row 3: before row 4
  Turn();
  auto* part = dynamic_cast<ListViewPart*>(WindowPart::FromElement(view_.Get()));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->DropTarget(), 4);
  backend_->ReleaseButton(window_, 50, RowY(3) + 4);
  Turn();
  const std::vector<uint32_t> order = Order();
  EXPECT_EQ(std::vector<uint32_t>(order.begin(), order.begin() + 5),
            (std::vector<uint32_t>{103, 104, 101, 102, 105}));
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{101, 102}));  // the selection moved along

  // A press and release without a drag on a selected row picks it alone.
  Click(2);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{101}));
}

TEST_F(ListViewPartTest, DoubleClickAndEnterActivateAndHeaderEdgesResizeColumns) {
  backend_->Click(window_, 50, RowY(2));
  backend_->Click(window_, 50, RowY(2));
  Turn();
  EXPECT_EQ(rows_[2]->activated, 1);
  backend_->Key(window_, kKeyEnter);
  Turn();
  EXPECT_EQ(rows_[2]->activated, 2);

  view_->AddColumn(RefPtr<MListViewColumn>(new WidthColumn(0.5, 16, 1000)).Get());
  view_->AddColumn(RefPtr<MListViewColumn>(new WidthColumn(0.5, 16, 1000)).Get());
  EXPECT_EQ(view_->ColumnWidth(0), 100);
  Step(16);
  EXPECT_EQ(rows_[0]->cells, 2);     // one cell a column
  backend_->Press(window_, 101, 5);  // on the edge between the two, in the header
  Turn();
  backend_->MoveTo(window_, 131, 5);
  Turn();
  backend_->ReleaseButton(window_, 131, 5);
  Turn();
  EXPECT_EQ(view_->ColumnWidth(0), 130);
  EXPECT_EQ(view_->ColumnWidth(1), 70);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{103}));  // the header picks no row
}

TEST_F(ListViewPartTest, RowsChangedOnAnotherThreadRepaintOnTheLoop) {
  std::vector<RefPtr<SeenRow>> more;
  std::vector<MListViewRow*> raw;
  for (uint32_t id = 201; id <= 205; ++id) {
    more.emplace_back(new SeenRow(id));
    raw.push_back(more.back().Get());
  }
  std::thread other([&] { EXPECT_EQ(view_->InsertRows(0, raw.data(), 5), 1); });
  other.join();
  EXPECT_EQ(view_->RowCount(), 25);
  Step(16);  // the repaint was handed to the loop
  EXPECT_EQ(more[0]->lastIndex, 0);
  EXPECT_EQ(more[0]->lastRect, (RectI{0, 18, 200, 34}));
}

TEST_F(ListViewPartTest, ChangesRepaintOnlyTheRowsWhoseStateChanged) {
  Click(0);  // the view has the focus and row 0 is picked
  Step(16);
  Drawn();
  ASSERT_TRUE(view_->SetCurrentId(102));
  Step(16);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{0, 1}));
  const uint32_t pick[] = {101, 102};
  ASSERT_TRUE(view_->SetSelection(pick, 2));
  Step(16);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{1}));
  Click(1);  // row 1 alone: only row 0 changes
  Step(16);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{0}));
  EXPECT_EQ(rows_[0]->lastState, 0u);
  EXPECT_EQ(rows_[1]->lastState, kRowSelected | kRowCurrent);
  Click(1);  // nothing changes: nothing repaints
  Step(16);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{}));
  EXPECT_EQ(view_->InvalidateRows(3, 4), 1);
  Step(16);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{3}));
  // The part's own redraw modes: only what changed.
  EXPECT_EQ(view_->ContentRedrawMode(), 0);
  EXPECT_EQ(view_->HeaderBackgroundRedrawMode(), 0);
  EXPECT_EQ(view_->HeaderRedrawMode(), 0);
}

TEST_F(ListViewPartTest, SearchHandOverPicksShowsAndRepaintsTheMatchedRow) {
  Click(0);
  Step(16);
  Drawn();
  EXPECT_EQ(view_->SearchMatched(12), 1);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{113}));
  EXPECT_EQ(view_->GetCurrentId(), 113u);
  EXPECT_GE(12, view_->GetTopRow());
  EXPECT_LT(12, view_->GetTopRow() + view_->PageRows());
  Step(16);
  EXPECT_EQ(rows_[12]->lastState, kRowSelected | kRowCurrent);
  // Shift extends from the matched row, as from a click.
  backend_->Key(window_, kKeyDown, kModShift);
  Turn();
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{113, 114}));
  // A match on the row already picked still repaints it (its highlight follows the text).
  EXPECT_EQ(view_->SearchMatched(13), 1);
  Step(16);
  Drawn();
  EXPECT_EQ(view_->SearchMatched(13), 1);
  Step(16);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{13}));
  for (int32_t bad : {-1, 20}) {
    EXPECT_EQ(view_->SearchMatched(bad), 0) << bad;
  }
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{114}));
}

}  // namespace
}  // namespace vk2::gui::test
