#include "oru/gui/menus/menu_model.h"

#include <algorithm>

#include "oru/gui/menus/menu_item.h"

namespace vk2 {

namespace {

char16_t FoldAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

TString LabelOf(MMenuItem* item) {
  TString label;
  item->GetLabel(&label);
  return label;
}

}  // namespace

bool MenuModel::Add(MMenuItem* item) {
  return Insert(Count(), item);
}

bool MenuModel::Insert(int32_t index, MMenuItem* item) {
  if (!item || index < 0 || index > Count()) return false;
  items_.insert(items_.begin() + index, Item(item));
  if (highlighted_ >= index) ++highlighted_;
  return true;
}

void MenuModel::RemoveAll() {
  items_.clear();
  highlighted_ = -1;
}

MenuModel::Item MenuModel::At(int32_t index) const {
  return index >= 0 && index < Count() ? items_[index] : Item();
}

bool MenuModel::Choosable(int32_t index) const {
  if (index < 0 || index >= Count()) return false;
  MMenuItem* item = items_[index].Get();
  const MenuItemKind kind = item->GetKind();
  return (kind == MenuItemKind::kCommand || kind == MenuItemKind::kSubmenu) &&
         !(item->GetFlags() & kMenuItemDisabled);
}

bool MenuModel::Highlight(int32_t index) {
  const int32_t wanted = Choosable(index) ? index : -1;
  if (wanted == highlighted_) return false;
  highlighted_ = wanted;
  return true;
}

void MenuModel::Step(int32_t direction) {
  const int32_t count = Count();
  if (count == 0) return;
  const int32_t step = direction < 0 ? -1 : 1;
  int32_t index = highlighted_ < 0 ? (step > 0 ? -1 : count) : highlighted_;
  for (int32_t tried = 0; tried < count; ++tried) {
    index = (index + step + count) % count;
    if (Choosable(index)) {
      highlighted_ = index;
      return;
    }
  }
}

bool MenuModel::JumpTo(char16_t key) {
  key = FoldAscii(key);
  std::vector<int32_t> matches;
  for (int32_t i = 0; i < Count(); ++i) {
    if (!Choosable(i)) continue;
    const MenuLabel label = ParseMenuLabel(LabelOf(items_[i].Get()));
    const char16_t letter =
        label.mnemonic ? label.mnemonic : (label.shown.IsEmpty() ? 0 : FoldAscii(label.shown[0]));
    if (letter == key) matches.push_back(i);
  }
  if (matches.empty()) return false;
  auto next = std::upper_bound(matches.begin(), matches.end(), highlighted_);
  highlighted_ = next == matches.end() ? matches.front() : *next;
  return matches.size() == 1;
}

MenuAction MenuModel::Choose() const {
  MenuAction action;
  if (!Choosable(highlighted_)) return action;
  MMenuItem* item = items_[highlighted_].Get();
  action.index = highlighted_;
  if (item->GetKind() == MenuItemKind::kSubmenu) {
    action.kind = MenuAction::Kind::kOpenSubmenu;
  } else {
    action.kind = MenuAction::Kind::kCommand;
    action.id = item->GetId();
  }
  return action;
}

std::vector<RectI> MenuModel::Layout(bool bar, const MenuMetrics& metrics,
                                     const Measure& measure) const {
  std::vector<RectI> rects;
  std::vector<int32_t> widths;
  int32_t widest = metrics.minimumWidth;
  for (const Item& item : items_) {
    const bool separator = item->GetKind() == MenuItemKind::kSeparator;
    const int32_t width =
        separator ? 0 : measure(ParseMenuLabel(LabelOf(item.Get())).shown) + 2 * metrics.padding;
    widths.push_back(width);
    widest = std::max(widest, width);
  }
  int32_t x = 0;
  int32_t y = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    const bool separator = items_[i]->GetKind() == MenuItemKind::kSeparator;
    if (bar) {
      const int32_t width = separator ? metrics.separatorHeight : widths[i];
      rects.push_back({x, 0, x + width, metrics.itemHeight});
      x += width;
    } else {
      const int32_t height = separator ? metrics.separatorHeight : metrics.itemHeight;
      rects.push_back({0, y, widest, y + height});
      y += height;
    }
  }
  return rects;
}

int32_t MenuModel::ItemAt(const std::vector<RectI>& layout, int32_t x, int32_t y) {
  for (size_t i = 0; i < layout.size(); ++i) {
    const RectI& r = layout[i];
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace vk2
