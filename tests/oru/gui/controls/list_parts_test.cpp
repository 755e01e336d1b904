// The scroll bar, selection list and picker parts in a headless host: arrows, paging and the
// thumb; picks with Ctrl and Shift, keys and the wheel, the bars following the list; the
// picker's popup list chosen from by pointer and keys and closed by a press elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "oru/gui/controls/picker_part.h"
#include "oru/gui/controls/scroll_bar_part.h"
#include "oru/gui/controls/selection_list_part.h"
#include "tests/oru/gui/controls/control_part_fixture.h"

namespace vk2::gui::test {
namespace {

// An item that records how it was last asked to draw itself.
class TestItem final : public ComObject<TestItem, Face<MListItem, kIID_MListItem>> {
 public:
  static RefPtr<TestItem> Make(int32_t height = 0) {
    RefPtr<TestItem> item(new TestItem);
    item->height_ = height;
    return item;
  }
  int32_t DrawItem(MCanvas*, const RectI* rect, uint32_t state, int32_t position) override {
    lastRect = *rect;
    lastState = state;
    lastPlace = position;
    ++draws;
    return 1;
  }
  int32_t ItemHeight() override { return height_; }

  RectI lastRect;
  uint32_t lastState = 0;
  int32_t lastPlace = -1;
  int32_t draws = 0;

 private:
  TestItem() = default;
  ~TestItem() override = default;
  int32_t height_ = 0;
};

class ListPartTest : public ControlPartTest {
 protected:
  // `count` items of 10 pixels into `list` (an MSelectionList or MPicker items list).
  void Fill(MItemList* items, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
      RefPtr<TestItem> item = TestItem::Make(10);
      items_.push_back(item);
      ASSERT_EQ(items->Append(item.Get()), 0);
    }
  }
  std::vector<uintptr_t> Chosen(const RecordingWrapper& wrapper) const {
    std::vector<uintptr_t> chosen;
    for (const auto& note : wrapper.notes) {
      if (note.first == kNotifyItemChosen) chosen.push_back(note.second);
    }
    return chosen;
  }
  void Key(int32_t key, uint32_t modifiers = 0) {
    backend_->Key(window_, key, modifiers);
    Turn();
  }
  std::vector<RefPtr<TestItem>> items_;
};

TEST_F(ListPartTest, ScrollBarStepsPagesAndDragsItsOwnRange) {
  auto wrapper = Place(&ScrollBarPart::Create, 10, 60);  // arrows 10 pixels, track 40
  auto* bar = wrapper->Part<MScrollBar>(kIID_MScrollBar);
  ASSERT_EQ(bar->SetRange(100, 20), 0);
  auto* core = dynamic_cast<ScrollBarPart*>(WindowPart::FromElement(wrapper.Get()));
  ASSERT_NE(core, nullptr);
  EXPECT_TRUE(core->Vertical());
  EXPECT_EQ(core->TrackRect(), (RectI{0, 10, 10, 50}));
  EXPECT_EQ(core->ThumbRect(), (RectI{0, 10, 10, 18}));  // 40 x 20 / 100, the minimum 8

  Press(25, 75);  // the down arrow steps at once, then repeats while held
  EXPECT_EQ(bar->GetScrollPos(), 1);
  Step(kArrowRepeatDelayMs);
  EXPECT_EQ(bar->GetScrollPos(), 2);
  Step(kArrowRepeatMs);
  EXPECT_EQ(bar->GetScrollPos(), 3);
  Release(25, 75);
  Step(500);
  EXPECT_EQ(bar->GetScrollPos(), 3);
  EXPECT_EQ(wrapper->Count(kNotifyPosFinalized), 1);

  Press(25, 60);  // the track after the thumb: a page on
  Release(25, 60);
  EXPECT_EQ(bar->GetScrollPos(), 23);
  const RectI thumb = core->ThumbRect();
  EXPECT_EQ(thumb.top, 10 + 32 * 23 / 80);
  Press(25, 20 + thumb.top + 2);  // the thumb follows the pointer from where it was taken
  Move(25, 20 + thumb.top + 2 + 16);
  EXPECT_EQ(bar->GetScrollPos(), 63);  // (19 + 16 - 10) / 32 of 80, rounded
  Move(25, 500);
  EXPECT_EQ(bar->GetScrollPos(), 80);  // held at total - page
  Release(25, 500);
  Press(25, 25);  // the up arrow
  Release(25, 25);
  EXPECT_EQ(bar->GetScrollPos(), 79);

  EXPECT_EQ(bar->SetRange(-1, 5), kErrOutOfRange);
  ASSERT_EQ(bar->SetRange(10, 20), 0);  // everything shows: the thumb fills the track
  EXPECT_EQ(bar->GetScrollPos(), 0);
  EXPECT_EQ(core->ThumbRect(), core->TrackRect());
}

TEST_F(ListPartTest, ScrollBarPansAPlainWindowItNames) {
  auto wrapper = Place(&ScrollBarPart::Create, 100, 10);  // horizontal by its shape
  auto* bar = wrapper->Part<MScrollBar>(kIID_MScrollBar);
  RefPtr<RecordingPart> content = AddChild(root_.Get(), 0, 40, 50, 30);
  content->SetVirtualSize(SizeI{200, 30});
  PropertyValue dest;
  dest.type = kPropertyObject;
  dest.object = content->Self();
  bar->SetProperty(kPropScrollDest, kPropertyObject, &dest);
  Press(115, 25);  // the right arrow
  Release(115, 25);
  PointI pan;
  content->GetValue(kValuePan, &pan, sizeof pan);
  EXPECT_EQ(pan, (PointI{kPixelScrollStep, 0}));
  PointI inside{50, 5};
  wrapper->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&inside), -100, 0);
  content->GetValue(kValuePan, &pan, sizeof pan);
  EXPECT_EQ(pan, (PointI{150, 0}));  // virtual 200 - size 50
  EXPECT_EQ(bar->GetScrollPos(), 150);
}

TEST_F(ListPartTest, SelectionListPicksWithCtrlAndShiftAndKeepsSelectionWithItsItems) {
  auto wrapper = Place(&SelectionListPart::Create, 80, 50);  // five rows of 10
  auto* list = wrapper->Part<MSelectionList>(kIID_MSelectionList);
  RefPtr<MItemList> items;
  {
    MItemList* raw = nullptr;
    ASSERT_EQ(list->GetItems(&raw), 0);
    items = RefPtr<MItemList>::Adopt(raw);
  }
  Fill(items.Get(), 10);
  list->SetMultiple(1);
  Press(30, 42);  // row 2
  Release(30, 42);
  Press(30, 62, kModCtrl);  // row 4 joins
  Release(30, 62);
  Press(30, 52, kModShift);  // rows 4 to 3: the range from the anchor
  Release(30, 52);
  EXPECT_EQ(list->IsSelected(2), 0);
  EXPECT_EQ(list->IsSelected(3), 1);
  EXPECT_EQ(list->IsSelected(4), 1);
  EXPECT_EQ(list->GetCurrent(), 3);
  EXPECT_EQ(Chosen(*wrapper), (std::vector<uintptr_t>{2, 4, 3}));
  EXPECT_EQ(list->ItemIndex(3), 3);
  EXPECT_EQ(list->ItemIndex(10), -1);

  Key(kKeyDown);  // the list took the focus on the press
  EXPECT_EQ(list->GetCurrent(), 4);
  Key(kKeyEnd);
  EXPECT_EQ(list->GetCurrent(), 9);
  EXPECT_EQ(list->GetTop(), 5);  // scrolled to show it
  EXPECT_EQ(list->IsSelected(9), 1);
  EXPECT_EQ(list->IsSelected(4), 0);  // plain keys pick one

  // Items leaving before the selection carry it along; the removed current passes on.
  ASSERT_EQ(items->RemoveAt(0), 0);
  EXPECT_EQ(list->IsSelected(8), 1);
  EXPECT_EQ(list->GetCurrent(), 8);
  ASSERT_EQ(items->RemoveAt(8), 0);
  EXPECT_EQ(list->GetCurrent(), 7);
  EXPECT_EQ(list->SetSelected(8, 1), kErrOutOfRange);
  EXPECT_EQ(items->Insert(20, items_[0].Get()), kErrOutOfRange);
  EXPECT_EQ(items->RemoveAt(-1), kErrOutOfRange);

  // Each row draws with its state and its place (the selected row left with its item).
  Step(16);
  EXPECT_EQ(items_[8]->lastState & (kItemSelected | kItemCurrent), kItemCurrent);
  EXPECT_EQ(items_[8]->lastPlace, 3);  // now the last
  EXPECT_EQ(items_[8]->lastRect, (RectI{0, 40, 80, 50}));
}

TEST_F(ListPartTest, SelectionListScrollsWithItsBarBothWays) {
  auto wrapper = Place(&SelectionListPart::Create, 80, 50);
  auto* list = wrapper->Part<MSelectionList>(kIID_MSelectionList);
  MItemList* raw = nullptr;
  ASSERT_EQ(list->GetItems(&raw), 0);
  RefPtr<MItemList> items = RefPtr<MItemList>::Adopt(raw);
  Fill(items.Get(), 20);

  void* made = nullptr;
  ASSERT_EQ(ScrollBarPart::Create(nullptr, kIID_MScrollBar, &made), 0);
  RefPtr<MScrollBar> bar = RefPtr<MScrollBar>::Adopt(static_cast<MScrollBar*>(made));
  PropertyValue dest;
  dest.type = kPropertyObject;
  dest.object = static_cast<MWindowElement*>(wrapper.Get());
  bar->SetProperty(kPropScrollDest, kPropertyObject, &dest);
  WindowPart* barCore = WindowPart::FromElement(bar.Get());
  barCore->SetLocation(PointI{70, 0});
  barCore->SetSize(SizeI{10, 50});
  ASSERT_EQ(wrapper->AttachChild(bar.Get(), kPlaceModeTop), 0);
  Turn();

  Press(95, 65);  // the bar's down arrow, over the list's rows
  Release(95, 65);
  EXPECT_EQ(list->GetTop(), 1);
  EXPECT_EQ(wrapper->Count(kNotifyItemChosen), 0);  // scrolling picks nothing

  PointI inside{10, 10};
  wrapper->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&inside), -2, 0);
  EXPECT_EQ(list->GetTop(), 7);
  EXPECT_EQ(bar->GetScrollPos(), 7);  // the bar reads the list
  // The list's parent hears of it too, so it can show or hide its bars.
  const auto heard =
      std::count_if(root_->childNotes.begin(), root_->childNotes.end(), [&](const Received& note) {
        return note.code == kNotifyScrollChanged &&
               note.argument ==
                   reinterpret_cast<uintptr_t>(static_cast<MWindowElement*>(wrapper.Get()));
      });
  EXPECT_GE(heard, 1);
  Step(16);
  const RectI thumb = dynamic_cast<ScrollBarPart*>(barCore)->ThumbRect();
  EXPECT_EQ(thumb.top, 10 + (30 - 7) * 7 / 15);  // track 30, thumb 7 (5 of 20 rows)
  list->ScrollToShow(0);
  EXPECT_EQ(bar->GetScrollPos(), 0);
}

TEST_F(ListPartTest, PickerListsItsItemsInAPopupAndChoosesByPointerAndKeys) {
  auto wrapper = Place(&PickerPart::Create, 60, 10);
  auto* picker = wrapper->Part<MPicker>(kIID_MPicker);
  MItemList* raw = nullptr;
  ASSERT_EQ(picker->GetItems(&raw), 0);
  RefPtr<MItemList> items = RefPtr<MItemList>::Adopt(raw);
  Fill(items.Get(), 3);
  EXPECT_EQ(picker->GetCurrent(), -1);
  EXPECT_EQ(picker->SetCurrent(3), kErrOutOfRange);

  backend_->Click(window_, 30, 25);
  Turn();
  MWindowElement* menu = picker->MenuWindow();
  ASSERT_NE(menu, nullptr);
  MHostWindow* popupFace = nullptr;
  menu->GetValue(kValueHost, &popupFace, sizeof popupFace);
  auto* popup = static_cast<HostWindowObject*>(popupFace);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->ScreenRect(), (RectI{20, 30, 80, 60}));  // under the picker, three rows
  backend_->MoveTo(popup->BackendWindow(), 30, 15);
  Turn();
  backend_->Click(popup->BackendWindow(), 30, 15);  // the second row
  Turn();
  EXPECT_EQ(picker->GetCurrent(), 1);
  EXPECT_EQ(picker->MenuWindow(), nullptr);
  EXPECT_EQ(Chosen(*wrapper), (std::vector<uintptr_t>{1}));
  EXPECT_EQ(items_[1]->lastState & kItemCurrent, kItemCurrent);

  // Keys: with the list closed Down chooses the next at once; Enter opens, Down and Enter.
  Key(kKeyDown);
  EXPECT_EQ(picker->GetCurrent(), 2);
  Key(kKeyEnter);
  ASSERT_NE(picker->MenuWindow(), nullptr);
  Key(kKeyDown);  // the highlight wraps from the last to the first
  Key(kKeyEnter);
  EXPECT_EQ(picker->GetCurrent(), 0);
  EXPECT_EQ(picker->MenuWindow(), nullptr);
  EXPECT_EQ(Chosen(*wrapper), (std::vector<uintptr_t>{1, 2, 0}));

  // A press elsewhere closes it, a click on the picker too, without opening it again.
  picker->OpenMenu();
  Press(150, 80);
  Release(150, 80);
  EXPECT_EQ(picker->MenuWindow(), nullptr);
  picker->OpenMenu();
  backend_->Click(window_, 30, 25);
  Turn();
  EXPECT_EQ(picker->MenuWindow(), nullptr);
  Key(kKeyEscape);
  EXPECT_EQ(Chosen(*wrapper).size(), 3u);

  // The current item stays with its item; removing it leaves none.
  ASSERT_EQ(items->Insert(0, TestItem::Make(10).Get()), 0);
  EXPECT_EQ(picker->GetCurrent(), 1);
  ASSERT_EQ(items->RemoveAt(1), 0);
  EXPECT_EQ(picker->GetCurrent(), -1);
}

}  // namespace
}  // namespace vk2::gui::test
