#include "oru/gui/controls/picker_part.h"

#include <algorithm>
#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "oru/gui/controls/item_rows.h"

namespace vk2::gui {

PickerPart::PickerPart(MUnknown* outer)
    : WindowPartOf(outer), button_(*this), items_(ItemListObject::Make()) {
  items_->SetObserver([this](const ItemListChange& change) { OnItemsChanged(change); });
}

PickerPart::~PickerPart() {
  items_->SetObserver(nullptr);
  CloseMenu();
}

int32_t PickerPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) PickerPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

RefPtr<MPicker> PickerPart::Face() {
  if (RefPtr<MPicker> face = vk2::Query<MPicker>(Outer(), kIID_MPicker)) return face;
  return RefPtr<MPicker>(this);
}

void PickerPart::OnItemsChanged(const ItemListChange& change) {
  // The current item stays with its item; a removed current item leaves none.
  if (change.kind == ItemListChange::Kind::kInserted && current_ >= change.index) {
    current_ += change.count;
  } else if (change.kind == ItemListChange::Kind::kRemoved && current_ >= change.index) {
    current_ = current_ < change.index + change.count ? -1 : current_ - change.count;
  }
  if (menu_) {
    menu_->SetHighlight(std::min(menu_->Highlight(), items_->Count() - 1));
    menu_->Repaint();
  }
  Repaint();
}

int32_t PickerPart::GetItems(MItemList** out) {
  if (!out) return kErrMissingArg;
  items_->AddRef();
  *out = items_.Get();
  return 0;
}

int32_t PickerPart::ItemsChanged() {
  if (current_ >= items_->Count()) current_ = -1;
  Repaint();
  if (menu_) menu_->Repaint();
  return 0;
}

int32_t PickerPart::SetCurrent(int32_t index) {
  if (index < -1 || index >= items_->Count()) return kErrOutOfRange;
  if (index != current_) {
    current_ = index;
    Repaint();
  }
  return 0;
}

void PickerPart::Choose(int32_t index) {
  if (index < 0 || index >= items_->Count()) return;
  RefPtr<MWindowElement> keep(Outer());
  CloseMenu();
  SetCurrent(index);
  keep->Notify(kNotifyItemChosen, static_cast<uintptr_t>(index));
}

int32_t PickerPart::OpenMenu() {
  if (popup_) return 0;
  HostWindowObject* host = Host();
  GuiLoop* loop = Loop();
  if (!host || !loop || items_->Count() == 0) return kErrWrongState;
  RefPtr<HostWindowObject> popup;
  const int32_t r = HostWindowObject::Create(loop, &popup);
  if (r != 0) return r;
  RefPtr<PickerMenuPart> menu = PickerMenuPart::Make(this);
  popup->SetRoot(menu.Get());
  // Right under the picker, as wide as it, one row per item.
  const RectI own = RectInHost();
  const RectI screen = host->ScreenRect();
  const int32_t height = RowHeightOf(items_.Get()) * items_->Count();
  const RectI rect{screen.left + own.left, screen.top + own.bottom, screen.left + own.right,
                   screen.top + own.bottom + height};
  popup->SetScreenRect(&rect);
  popup->SetAlwaysOnTop(1);
  popup->Show(1);
  menu->SetHighlight(current_);
  popup_ = popup;
  menu_ = menu.Get();
  loop->AddPopup(popup.Get(), [this] {
    CloseMenu();
    // A press on the picker itself closed the list; its click must not open it again.
    justDismissed_ = true;
    StartTimer(0, [this] { justDismissed_ = false; });
  });
  return 0;
}

int32_t PickerPart::CloseMenu() {
  if (!popup_) return 0;
  RefPtr<HostWindowObject> popup = std::move(popup_);
  if (menu_) menu_->Forget();
  menu_ = nullptr;
  if (GuiLoop* loop = Loop()) loop->RemovePopup(popup.Get());
  popup->Close();
  return 0;
}

MWindowElement* PickerPart::MenuWindow() {
  return menu_ ? menu_->Self() : nullptr;
}

int32_t PickerPart::PaintMenuBackground(MWindowElement*, MCanvas*, uintptr_t) {
  return 0;
}

bool PickerPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  MListItem* item = items_->ItemAt(current_);
  if (!item) return false;
  const SizeI size = Size();
  const RectI rect{0, 0, size.width, size.height};
  item->DrawItem(canvas, &rect, kItemCurrent | (IsEnabled() ? 0 : kItemDisabled), 0);
  return true;
}

int32_t PickerPart::OnHitCode(PointI point) {
  const int32_t code = WindowPart::OnHitCode(point);
  return code == kHitNone ? code : code | kHitInputFocus;
}

void PickerPart::OnNotify(uint32_t code, uintptr_t argument) {
  button_.OnNotify(code, argument);
  switch (code) {
    case kNotifyClick:
      if (popup_) {
        CloseMenu();
      } else if (!reopenBlocked_) {
        OpenMenu();
      }
      reopenBlocked_ = false;
      break;
    case kNotifyHidden:
    case kNotifyDisabled:
    case kNotifyDestroyed:
      CloseMenu();
      break;
    default:
      break;
  }
}

bool PickerPart::Key(const KeyEvent& key) {
  const int32_t count = items_->Count();
  if (menu_) {
    const int32_t at = menu_->Highlight();
    switch (key.key) {
      case kKeyUp:
        menu_->SetHighlight(at <= 0 ? count - 1 : at - 1);
        return true;
      case kKeyDown:
        menu_->SetHighlight(at < 0 || at >= count - 1 ? 0 : at + 1);
        return true;
      case kKeyEnter:
        if (at >= 0) {
          Choose(at);
        } else {
          CloseMenu();
        }
        return true;
      case kKeyEscape:
        CloseMenu();
        return true;
      default:
        return false;
    }
  }
  switch (key.key) {
    case kKeyUp:
    case kKeyDown: {
      if (count == 0) return true;
      const int32_t step = key.key == kKeyUp ? -1 : 1;
      const int32_t target = current_ < 0 ? 0 : std::clamp(current_ + step, 0, count - 1);
      if (target != current_) Choose(target);
      return true;
    }
    case kKeyEnter:
    case ' ':
      OpenMenu();
      return true;
    default:
      return false;
  }
}

int32_t PickerPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  if (code == kQueryLeftDown) {
    reopenBlocked_ = justDismissed_;
    justDismissed_ = false;
  }
  if (code == kQueryKeyDown) {
    const auto* key = reinterpret_cast<const KeyEvent*>(a);
    return key && Key(*key) ? 1 : 0;
  }
  return button_.OnQuery(code, a, b, c);
}

// ---- The popup list ----

RefPtr<PickerMenuPart> PickerMenuPart::Make(PickerPart* picker) {
  return RefPtr<PickerMenuPart>(new PickerMenuPart(picker));
}

void PickerMenuPart::SetHighlight(int32_t index) {
  if (index == highlight_) return;
  highlight_ = index;
  Repaint();
}

int32_t PickerMenuPart::IndexAt(PointI point) const {
  if (!picker_ || point.y < 0 || point.x < 0 || point.x >= Size().width) return -1;
  const int32_t index = point.y / RowHeightOf(picker_->Items());
  return index < picker_->Items()->Count() ? index : -1;
}

bool PickerMenuPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  if (!picker_) return false;
  picker_->Face()->PaintMenuBackground(Self(), canvas, 0);
  const SizeI size = Size();
  const int32_t current = picker_->GetCurrent();
  DrawItemRows(canvas, picker_->Items(), 0, size.width, size.height, [&](int32_t index) {
    uint32_t state = 0;
    if (index == highlight_) state |= kItemHover | kItemSelected;
    if (index == current) state |= kItemCurrent;
    return state;
  });
  return true;
}

int32_t PickerMenuPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)b;
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryPointerMove:
      if (point) SetHighlight(IndexAt(*point));
      return 1;
    case kQueryLeftDown:
      return 1;
    case kQueryLeftUp: {
      // Chosen on release over an item; the picker closes this list (and this part).
      const int32_t index = point ? IndexAt(*point) : -1;
      if (index >= 0 && picker_) picker_->Choose(index);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace vk2::gui
