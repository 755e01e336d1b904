// The items of one menu window, the highlighted one, the keyboard's way through them and their
// layout as a bar (side by side) or a drop-down (one under another).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/gui/menus.h"

namespace vk2 {

struct MenuMetrics {
  int32_t itemHeight = 20;
  int32_t separatorHeight = 7;
  int32_t padding = 8;        // left and right of a label
  int32_t minimumWidth = 80;  // a drop-down is at least this wide
};

// What choosing the highlighted item does.
struct MenuAction {
  enum class Kind { kNothing, kCommand, kOpenSubmenu } kind = Kind::kNothing;
  int32_t id = -1;     // kCommand
  int32_t index = -1;  // the item chosen
};

class MenuModel {
 public:
  using Item = RefPtr<MMenuItem>;
  using Measure = std::function<int32_t(const TString& shownLabel)>;

  bool Add(MMenuItem* item);
  bool Insert(int32_t index, MMenuItem* item);
  void RemoveAll();
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  Item At(int32_t index) const;

  // -1: none.
  int32_t Highlighted() const { return highlighted_; }
  // Only an item the user can choose (not a separator, not disabled) is highlighted; others
  // clear the highlight. Answers whether the highlight changed.
  bool Highlight(int32_t index);
  // Moves to the next (+1) or previous (-1) choosable item, wrapping; from none, the first or
  // last.
  void Step(int32_t direction);
  // The next choosable item after the highlight whose mnemonic (else first letter) is `key`,
  // highlighted; true when it is the only one, so that the key chooses it at once.
  bool JumpTo(char16_t key);
  MenuAction Choose() const;

  // Rectangles of the items: a bar lays them side by side, each its label's width; a drop-down
  // one under another, all as wide as the widest label.
  std::vector<RectI> Layout(bool bar, const MenuMetrics& metrics, const Measure& measure) const;
  static int32_t ItemAt(const std::vector<RectI>& layout, int32_t x, int32_t y);

 private:
  bool Choosable(int32_t index) const;

  std::vector<Item> items_;
  int32_t highlighted_ = -1;
};

}  // namespace vk2
