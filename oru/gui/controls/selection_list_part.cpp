#include "oru/gui/controls/selection_list_part.h"

#include <new>

#include "foundation/util/result.h"
#include "oru/gui/controls/item_rows.h"
#include "oru/gui/controls/scroll_bar_part.h"

namespace vk2::gui {

namespace {
constexpr int32_t kWheelRows = 3;
}  // namespace

SelectionListPart::SelectionListPart(MUnknown* outer)
    : WindowPartOf(outer), items_(ItemListObject::Make()) {
  items_->SetObserver([this](const ItemListChange& change) { OnItemsChanged(change); });
}

SelectionListPart::~SelectionListPart() {
  // The caller may keep the list after the part is gone.
  items_->SetObserver(nullptr);
}

int32_t SelectionListPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) SelectionListPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

void SelectionListPart::OnItemsChanged(const ItemListChange& change) {
  switch (change.kind) {
    case ItemListChange::Kind::kInserted:
      selection_.Inserted(change.index, change.count);
      break;
    case ItemListChange::Kind::kRemoved:
      selection_.Removed(change.index, change.count);
      if (hover_ >= selection_.Count()) hover_ = -1;
      break;
    case ItemListChange::Kind::kReplaced:
      break;
  }
  UpdatePage();
  Repaint();
  TellScrollBars(*this);
}

void SelectionListPart::UpdatePage() {
  selection_.SetPageItems(Size().height / RowHeightOf(items_.Get()));
}

int32_t SelectionListPart::ItemIndex(uintptr_t argument) {
  const auto index = static_cast<int32_t>(static_cast<intptr_t>(argument));
  return index >= 0 && index < selection_.Count() ? index : -1;
}

int32_t SelectionListPart::GetItems(MItemList** out) {
  if (!out) return kErrMissingArg;
  items_->AddRef();
  *out = items_.Get();
  return 0;
}

int32_t SelectionListPart::IsSelected(int32_t index) {
  return selection_.IsSelected(index) ? 1 : 0;
}

int32_t SelectionListPart::SetSelected(int32_t index, int32_t selected) {
  if (index < 0 || index >= selection_.Count()) return kErrOutOfRange;
  if (selection_.Select(index, selected != 0)) Repaint();
  return 0;
}

int32_t SelectionListPart::ItemChanged(int32_t index) {
  if (index < 0 || index >= selection_.Count()) return kErrOutOfRange;
  Repaint();
  return 0;
}

int32_t SelectionListPart::SetMultiple(int32_t multiple) {
  selection_.SetMultiple(multiple != 0);
  Repaint();
  return 0;
}

int32_t SelectionListPart::GetCurrent() {
  return selection_.Current();
}

int32_t SelectionListPart::ScrollToShow(int32_t index) {
  if (index < 0 || index >= selection_.Count()) return kErrOutOfRange;
  UpdatePage();
  const int32_t before = selection_.Top();
  selection_.ScrollToShow(index);
  if (selection_.Top() != before) {
    Repaint();
    TellScrollBars(*this);
  }
  return 0;
}

int32_t SelectionListPart::GetTop() {
  return selection_.Top();
}

void SelectionListPart::SetTopRow(int32_t top) {
  UpdatePage();
  const int32_t before = selection_.Top();
  selection_.SetTop(top);
  if (selection_.Top() == before) return;
  Repaint();
  TellScrollBars(*this);
}

int32_t SelectionListPart::IndexAt(PointI point) {
  if (point.y < 0) return -1;
  const int32_t index = selection_.Top() + point.y / RowHeightOf(items_.Get());
  return index < selection_.Count() ? index : -1;
}

bool SelectionListPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  UpdatePage();
  const SizeI size = Size();
  const bool disabled = !IsEnabled();
  DrawItemRows(canvas, items_.Get(), selection_.Top(), size.width, size.height, [&](int32_t index) {
    uint32_t state = 0;
    if (selection_.IsSelected(index)) state |= kItemSelected;
    if (selection_.Current() == index) state |= kItemCurrent;
    if (hover_ == index) state |= kItemHover;
    if (disabled) state |= kItemDisabled;
    return state;
  });
  return true;
}

int32_t SelectionListPart::OnHitCode(PointI point) {
  const int32_t code = WindowPart::OnHitCode(point);
  return code == kHitNone ? code : code | kHitInputFocus;
}

void SelectionListPart::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyPointerTop && !argument && hover_ >= 0) {
    hover_ = -1;
    Repaint();
  }
}

void SelectionListPart::Chosen() {
  Repaint();
  TellScrollBars(*this);
  RefPtr<MWindowElement>(Outer())->Notify(kNotifyItemChosen,
                                          static_cast<uintptr_t>(selection_.Current()));
}

bool SelectionListPart::Key(const KeyEvent& key) {
  UpdatePage();
  const bool extend = (key.modifiers & kModShift) != 0;
  const int32_t page = selection_.PageItems();
  switch (key.key) {
    case kKeyUp:
      selection_.Step(-1, extend);
      break;
    case kKeyDown:
      selection_.Step(1, extend);
      break;
    case kKeyPageUp:
      selection_.Step(-page, extend);
      break;
    case kKeyPageDown:
      selection_.Step(page, extend);
      break;
    case kKeyHome:
      selection_.Step(-selection_.Count(), extend);
      break;
    case kKeyEnd:
      selection_.Step(selection_.Count(), extend);
      break;
    case kKeyEnter:
      if (selection_.Current() < 0) return true;
      break;
    default:
      return false;
  }
  if (selection_.Current() >= 0) Chosen();
  return true;
}

int32_t SelectionListPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryLeftDown: {
      if (!point) return 0;
      UpdatePage();
      const int32_t index = IndexAt(*point);
      if (index < 0) return 1;
      const auto modifiers = static_cast<uint32_t>(b);
      const ItemPick how = (modifiers & kModShift)  ? ItemPick::kRange
                           : (modifiers & kModCtrl) ? ItemPick::kToggle
                                                    : ItemPick::kOnly;
      selection_.Pick(index, how);
      Chosen();
      return 1;
    }
    case kQueryPointerMove: {
      if (!point) return 0;
      const int32_t index = IndexAt(*point);
      if (index != hover_) {
        hover_ = index;
        Repaint();
      }
      return 1;
    }
    case kQueryWheel:
      SetTopRow(selection_.Top() - static_cast<int32_t>(static_cast<intptr_t>(b)) * kWheelRows);
      return 1;
    case kQueryKeyDown: {
      const auto* key = reinterpret_cast<const KeyEvent*>(a);
      return key && Key(*key) ? 1 : 0;
    }
    case kQueryScrollInfo: {
      auto* info = reinterpret_cast<ScrollInfo*>(a);
      if (!info) return 0;
      UpdatePage();
      *info = ScrollInfo{};
      if (b == 0) {  // rows scroll vertically; nothing scrolls across
        info->total = selection_.Count();
        info->page = selection_.PageItems();
        info->position = selection_.Top();
      }
      return 1;
    }
    case kQueryScrollTo:
      if (b == 0) SetTopRow(static_cast<int32_t>(static_cast<intptr_t>(a)));
      return 1;
    default:
      return 0;
  }
}

}  // namespace vk2::gui
