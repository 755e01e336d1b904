#include "oru/gui/menus/menu_window.h"

#include <algorithm>

#include "foundation/util/result.h"
#include "interfaces/graphics/canvas.h"
#include "oru/gui/controls/flat_paint.h"
#include "oru/gui/menus/menu_font.h"
#include "oru/gui/menus/menu_item.h"
#include "oru/gui/menus/menu_look.h"

namespace vk2::gui {

namespace {

constexpr int32_t kArrowSize = 4;  // the submenu mark
constexpr int32_t kCheckSize = 6;

MenuMetrics Metrics() {
  return MenuMetrics{};
}

TString LabelShown(MMenuItem* item) {
  TString label;
  item->GetLabel(&label);
  return ParseMenuLabel(label).shown;
}

}  // namespace

// ---- The part ----

RefPtr<MenuPart> MenuPart::Make(MenuWindowObject* menu) {
  return RefPtr<MenuPart>(new MenuPart(menu));
}

MenuModel* MenuPart::Model() const {
  return menu_ ? &menu_->Model() : nullptr;
}

std::vector<RectI> MenuPart::Layout() const {
  MenuModel* model = Model();
  if (!model) return {};
  return model->Layout(IsBar(), Metrics(),
                       [](const TString& shown) { return MenuTextWidth(shown); });
}

bool MenuPart::OpenAt(PointI screen, MenuPart* parent, MWindowElement* owner) {
  MenuModel* model = Model();
  GuiLoop* loop = Loop();
  if (!model || !loop || popupHost_ || Parent() || Host()) return false;
  RefPtr<HostWindowObject> host;
  if (HostWindowObject::Create(loop, &host) != 0) return false;
  popupHost_ = host;  // from here on the layout is a drop-down's
  const std::vector<RectI> rects = Layout();
  int32_t width = Metrics().minimumWidth;
  int32_t height = 0;
  for (const RectI& r : rects) {
    width = std::max(width, r.right);
    height = std::max(height, r.bottom);
  }
  parent_ = parent;
  owner_ = RefPtr<MWindowElement>(owner);
  if (parent_) parent_->child_ = this;
  model->Highlight(-1);
  host->SetRoot(Self());
  const RectI rect{screen.x, screen.y, screen.x + width + kMenuShadow,
                   screen.y + height + kMenuShadow};
  host->SetScreenRect(&rect);
  host->SetAlwaysOnTop(1);
  host->Show(1);
  // A drop-down with a fade of its own comes in from transparent.
  const int32_t fadeMs = ReadMenuLook(*this).fadeMs;
  if (fadeMs > 0) {
    const int32_t clear = 0;
    SetValue(kValueOpacity, &clear, sizeof(clear));
    Self()->PostCommand(kCmdShow, 0, fadeMs, 1, nullptr, 0, 0);
  }
  // A press outside the chain closes it; one in a menu of the chain closes what lies deeper.
  loop->AddPopup(host.Get(), [this] {
    if (parent_ && !parent_->IsBar()) {
      CloseLevel();
    } else {
      CloseChain(-1);
    }
  });
  return true;
}

void MenuPart::CloseLevel() {
  if (child_) child_->CloseLevel();
  if (!popupHost_) return;
  RefPtr<HostWindowObject> host = std::move(popupHost_);
  RefPtr<MenuPart> keep(this);
  if (GuiLoop* loop = Loop()) loop->RemovePopup(host.Get());
  // Taken off the host first: closing a host destroys its root, and this part is reused.
  host->SetRoot(nullptr);
  host->Close();
  if (parent_) {
    if (parent_->child_ == this) parent_->child_ = nullptr;
    // A bar shows no highlight without its drop-down; a drop-down keeps its item lit.
    MenuModel* model = parent_->Model();
    if (model && parent_->IsBar()) model->Highlight(-1);
    parent_->Repaint();
  }
  parent_ = nullptr;
  owner_ = nullptr;
}

void MenuPart::CloseChain(int32_t chosen) {
  MenuPart* first = this;
  while (first->parent_ && !first->parent_->IsBar())
    first = first->parent_;
  RefPtr<MenuPart> keep(first);
  MenuWindowObject* menu = first->menu_;
  MenuPart* bar = first->parent_;
  first->CloseLevel();
  // A command or a press outside ends the bar's keyboard mode as well.
  if (bar) bar->LeaveBar();
  if (menu) menu->Finished(chosen);
}

void MenuPart::TakeKeyboard() {
  HostWindowObject* host = Host();
  if (!host || host->FocusPart() == this) return;
  WindowPart* before = host->FocusPart();
  focusBefore_ = RefPtr<MWindowElement>(before ? before->Outer() : nullptr);
  host->SetFocusPart(this, this);
}

void MenuPart::LeaveBar() {
  if (child_) child_->CloseLevel();
  Highlight(-1);
  RefPtr<MWindowElement> before = std::move(focusBefore_);
  HostWindowObject* host = Host();
  if (!host || host->FocusPart() != this) return;
  WindowPart* part = before ? FromElement(before.Get()) : nullptr;
  if (part && part->Host() == host && !part->IsDestroying() && part->IsVisible()) {
    host->SetFocusPart(part, this);
  } else {
    host->SetFocusPart(nullptr, this);
  }
}

void MenuPart::OpenTitleByKey() {
  MenuModel* model = Model();
  if (!model || model->Highlighted() < 0) return;
  ChooseHighlighted();
  if (child_) {
    if (MenuModel* sub = child_->Model()) {
      sub->Highlight(-1);
      sub->Step(1);
    }
    child_->Repaint();
  }
}

void MenuPart::SwitchTitle(int32_t direction) {
  MenuModel* model = Model();
  if (!model) return;
  const int32_t title = model->Highlighted();
  if (child_) child_->CloseLevel();  // which clears the bar's highlight
  model->Highlight(title);
  model->Step(direction);
  Repaint();
  if (model->Choose().kind == MenuAction::Kind::kOpenSubmenu) OpenTitleByKey();
}

bool MenuPart::BarKey(const KeyEvent& key) {
  MenuModel* model = Model();
  if (!model) return false;
  switch (key.key) {
    case kKeyLeft:
    case kKeyRight:
      model->Step(key.key == kKeyLeft ? -1 : 1);
      Repaint();
      return true;
    case kKeyDown:
    case kKeyEnter:
      OpenTitleByKey();
      return true;
    case kKeyEscape:
      LeaveBar();
      return true;
    default:
      if (key.key > 0 && key.key < 0x110000 && key.key != kKeyBackspace && key.key != kKeyDelete &&
          key.key != kKeyTab && key.key != ' ') {
        const bool only = model->JumpTo(static_cast<char16_t>(key.key));
        Repaint();
        if (only) OpenTitleByKey();
        return true;
      }
      return false;
  }
}

MenuPart* MenuPart::Deepest() {
  MenuPart* deepest = this;
  while (deepest->child_)
    deepest = deepest->child_;
  return deepest;
}

void MenuPart::Highlight(int32_t index) {
  MenuModel* model = Model();
  if (model && model->Highlight(index)) Repaint();
}

void MenuPart::OpenSubmenu(int32_t index) {
  MenuModel* model = Model();
  if (!model) return;
  RefPtr<MMenuItem> item = model->At(index);
  RefPtr<MMenuWindow> submenu;
  {
    MMenuWindow* raw = nullptr;
    if (!item || item->GetSubmenu(&raw) != 0) return;
    submenu = RefPtr<MMenuWindow>::Adopt(raw);
  }
  MenuWindowObject* sub = MenuWindowOf(submenu.Get());
  if (!sub || (child_ && child_ == sub->Part())) return;
  if (child_) child_->CloseLevel();
  const std::vector<RectI> rects = Layout();
  if (index < 0 || index >= static_cast<int32_t>(rects.size())) return;
  const RectI host = Host() ? Host()->ScreenRect() : RectI{};
  const RectI inHost = RectInHost();
  const RectI& r = rects[static_cast<size_t>(index)];
  // From a bar: under the item; from a drop-down: beside it.
  const PointI at = IsBar()
                        ? PointI{host.left + inHost.left + r.left, host.top + inHost.top + r.bottom}
                        : PointI{host.left + inHost.left + r.right, host.top + inHost.top + r.top};
  MWindowElement* owner = IsBar() ? (Parent() ? Parent()->Outer() : Self()) : owner_.Get();
  sub->Part()->OpenAt(at, this, owner);
  Highlight(index);
}

void MenuPart::ChooseHighlighted() {
  MenuModel* model = Model();
  if (!model) return;
  const MenuAction action = model->Choose();
  switch (action.kind) {
    case MenuAction::Kind::kCommand: {
      // The owner of the first drop-down (or the bar's window) hears of it.
      RefPtr<MWindowElement> owner = owner_;
      if (IsBar()) owner = RefPtr<MWindowElement>(Parent() ? Parent()->Outer() : Self());
      if (IsBar()) {
        LeaveBar();
      } else {
        CloseChain(action.id);
      }
      if (owner) owner->Notify(kNotifyMenuCommand, static_cast<uintptr_t>(action.id));
      break;
    }
    case MenuAction::Kind::kOpenSubmenu:
      OpenSubmenu(action.index);
      break;
    case MenuAction::Kind::kNothing:
      break;
  }
}

bool MenuPart::Key(const KeyEvent& key) {
  MenuModel* model = Model();
  if (!model) return false;
  if (IsBar()) return BarKey(key);
  const bool fromBar = parent_ && parent_->IsBar();
  switch (key.key) {
    case kKeyUp:
    case kKeyDown:
      model->Step(key.key == kKeyUp ? -1 : 1);
      Repaint();
      return true;
    case kKeyEnter:
      ChooseHighlighted();
      return true;
    case kKeyRight:
      if (model->Choose().kind == MenuAction::Kind::kOpenSubmenu) {
        ChooseHighlighted();
      } else if (fromBar) {
        parent_->SwitchTitle(1);
      }
      return true;
    case kKeyLeft:
      if (fromBar) {
        parent_->SwitchTitle(-1);
      } else if (parent_) {
        CloseLevel();
      }
      return true;
    case kKeyEscape:
      if (fromBar) {
        // Back to the bar with the title still lit, as the keyboard left it.
        MenuPart* bar = parent_;
        const int32_t title = bar->Model() ? bar->Model()->Highlighted() : -1;
        CloseLevel();
        bar->Highlight(title);
      } else if (parent_) {
        CloseLevel();
      } else {
        CloseChain(-1);
      }
      return true;
    default:
      if (key.key > 0 && key.key < 0x110000 && key.key != kKeyBackspace && key.key != kKeyDelete &&
          key.key != kKeyTab) {
        const bool only = model->JumpTo(static_cast<char16_t>(key.key));
        Repaint();
        if (only) ChooseHighlighted();
        return true;
      }
      return false;
  }
}

bool MenuPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  MenuModel* model = Model();
  if (!model) return false;
  const SizeI size = Size();
  const bool dropDown = !IsBar();
  const RectI body{0, 0, size.width - (dropDown ? kMenuShadow : 0),
                   size.height - (dropDown ? kMenuShadow : 0)};
  if (dropDown) {
    FillFlat(canvas, RectI{kMenuShadow, body.bottom, size.width, size.height}, kMenuShadowColor);
    FillFlat(canvas, RectI{body.right, kMenuShadow, size.width, body.bottom}, kMenuShadowColor);
  }
  const MenuLook look = ReadMenuLook(*this);
  // A clear fill leaves what lies under a bar (its parent's drawing) showing.
  if (look.background >> 24) FillFlat(canvas, body, look.background);
  const bool imaged = DrawMenuImage(look.image, canvas, body, false);
  if (dropDown && !imaged) FrameFlat(canvas, body, kMenuFrame, kMenuFrame);
  const std::vector<RectI> rects = Layout();
  MFont* font = MenuFont();
  for (int32_t i = 0; i < model->Count(); ++i) {
    RefPtr<MMenuItem> item = model->At(i);
    RectI r = rects[static_cast<size_t>(i)];
    if (dropDown) r.right = body.right;
    if (item->GetKind() == MenuItemKind::kSeparator) {
      const int32_t middle = (r.top + r.bottom) / 2;
      FillFlat(canvas, RectI{r.left + 2, middle, r.right - 2, middle + 1}, kMenuFrame);
      continue;
    }
    const bool highlighted = model->Highlighted() == i;
    const bool disabled = (item->GetFlags() & kMenuItemDisabled) != 0;
    MImageStyleDrawing* itemImage = look.items[PlaceOf(i, model->Count())];
    if (!DrawMenuImage(itemImage, canvas, r, highlighted) && highlighted)
      FillFlat(canvas, r, look.highlight);
    const uint32_t color = disabled ? kMenuTextDisabled : highlighted ? look.litText : look.text;
    const int32_t padding = Metrics().padding;
    if (item->GetFlags() & kMenuItemChecked) {
      const int32_t middle = (r.top + r.bottom) / 2;
      FillFlat(canvas,
               RectI{r.left + 1, middle - kCheckSize / 2, r.left + 1 + kCheckSize,
                     middle + kCheckSize / 2},
               color);
    }
    if (dropDown && item->GetKind() == MenuItemKind::kSubmenu) {
      const int32_t middle = (r.top + r.bottom) / 2;
      for (int32_t k = 0; k < kArrowSize; ++k) {
        FillFlat(canvas,
                 RectI{r.right - padding + k, middle - kArrowSize + k, r.right - padding + k + 1,
                       middle + kArrowSize - k},
                 color);
      }
    }
    if (font) {
      const TString shown = LabelShown(item.Get());
      const RectI text{r.left + padding, r.top, r.right - padding, r.bottom};
      font->DrawText(canvas, shown.c_str(), static_cast<int32_t>(shown.Length()), text,
                     kTextVCenter | kTextSingleLine, 0xF, color, 256);
    }
  }
  return true;
}

int32_t MenuPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)b;
  (void)c;
  MenuModel* model = Model();
  if (!model) return 0;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryPointerMove: {
      if (!point) return 0;
      const int32_t index = MenuModel::ItemAt(Layout(), point->x, point->y);
      if (IsBar()) {
        // With a drop-down open from the bar, moving along the bar switches it.
        if (child_ && index >= 0 && index != model->Highlighted() &&
            model->At(index)->GetKind() == MenuItemKind::kSubmenu) {
          OpenSubmenu(index);
        }
        return 1;
      }
      if (index < 0) return 1;
      Highlight(index);
      // Resting on a submenu item opens it; on another item closes what is open.
      if (model->Choose().kind == MenuAction::Kind::kOpenSubmenu) {
        OpenSubmenu(index);
      } else if (child_) {
        child_->CloseLevel();
      }
      return 1;
    }
    case kQueryLeftDown: {
      if (!point || !IsBar()) return 1;
      TakeKeyboard();
      const int32_t index = MenuModel::ItemAt(Layout(), point->x, point->y);
      if (index < 0) return 1;
      if (child_ && model->Highlighted() == index) {
        child_->CloseLevel();  // a second press on the open item closes it
        return 1;
      }
      Highlight(index);
      ChooseHighlighted();
      return 1;
    }
    case kQueryLeftUp: {
      if (!point || IsBar()) return 1;
      const int32_t index = MenuModel::ItemAt(Layout(), point->x, point->y);
      if (index < 0) return 1;
      Highlight(index);
      if (model->Choose().kind == MenuAction::Kind::kCommand) ChooseHighlighted();
      return 1;
    }
    case kQueryKeyDown: {
      const auto* key = reinterpret_cast<const KeyEvent*>(a);
      if (!key) return 0;
      MenuPart* deepest = Deepest();
      return deepest->Key(*key) ? 1 : 0;
    }
    default:
      return 0;
  }
}

// ---- The window object ----

MenuWindowObject::MenuWindowObject() : part_(MenuPart::Make(this)) {}

MenuWindowObject::~MenuWindowObject() {
  part_->CloseLevel();
  part_->Forget();
}

RefPtr<MenuWindowObject> MenuWindowObject::Make() {
  return RefPtr<MenuWindowObject>(new MenuWindowObject);
}

MenuWindowObject* MenuWindowOf(MMenuWindow* window) {
  return dynamic_cast<MenuWindowObject*>(window);
}

int32_t MenuWindowObject::AddItem(MMenuItem* item) {
  if (!item) return kErrMissingArg;
  model_.Add(item);
  part_->Repaint();
  return 0;
}

int32_t MenuWindowObject::InsertItem(int32_t index, MMenuItem* item) {
  if (!item) return kErrMissingArg;
  if (!model_.Insert(index, item)) return kErrOutOfRange;
  part_->Repaint();
  return 0;
}

int32_t MenuWindowObject::RemoveAll() {
  part_->CloseLevel();
  model_.RemoveAll();
  part_->Repaint();
  return 0;
}

int32_t MenuWindowObject::GetItem(int32_t index, MMenuItem** out) {
  if (!out) return kErrMissingArg;
  RefPtr<MMenuItem> item = model_.At(index);
  if (!item) return kErrNotFound;
  *out = item.Detach();
  return 0;
}

void MenuWindowObject::Finished(int32_t chosen) {
  popupChosen_ = chosen;
  popupDone_ = 1;
}

int32_t MenuWindowObject::Popup(const PointI* screen, MWindowElement* owner, int32_t* chosen) {
  if (!screen) return kErrMissingArg;
  if (chosen) *chosen = -1;
  GuiLoop* loop = WindowPart::Loop();
  if (!loop || !loop->IsLoopThread()) return kErrWrongState;
  if (inPopup_ || model_.Count() == 0) return kErrWrongState;
  RefPtr<MenuWindowObject> keep(this);
  popupDone_ = 0;
  popupChosen_ = -1;
  if (!part_->OpenAt(*screen, nullptr, owner)) return kErrFailed;
  inPopup_ = true;
  // Modal for the caller; the loop keeps serving posts, timers and other windows.
  loop->RunUntil(&popupDone_);
  inPopup_ = false;
  if (!popupDone_) part_->CloseLevel();  // the application quit meanwhile
  if (chosen) *chosen = popupChosen_;
  return 0;
}

}  // namespace vk2::gui
