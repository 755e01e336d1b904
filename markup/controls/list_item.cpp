#include "markup/controls/list_item.h"

#include <algorithm>
#include <new>

#include "interfaces/graphics/font.h"
#include "markup/window/window_font.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

constexpr uint64_t kTextBlend = 0x1000001000Full;  // PS_NORMAL
constexpr uint32_t kShadowAlpha = 0xC0;
constexpr int32_t kTextMargin = 4;
constexpr int32_t kRowPadding = 4;

bool DrawLook(const ItemLook& look, const RectI& rect, MCanvas* canvas, bool hover,
              const VisualParameters& params) {
  if (!look.image) return false;
  const uint32_t mask =
      hover && look.image->CountStyles(kStyleStateHover) > 0 ? kStyleStateHover : kStyleStateNormal;
  return look.image->Draw(rect, canvas, mask, 1.0, params) != 0;
}

}  // namespace

RefPtr<ListItem> ListItem::Make(MWindowElement* owner, const ItemLookSet* off,
                                const ItemLookSet* on, int32_t identifier, bool shadow) {
  RefPtr<ListItem> item(new (std::nothrow) ListItem());
  if (!item) return nullptr;
  item->owner_ = owner;
  item->off_ = off;
  item->on_ = on;
  item->identifier_ = identifier;
  item->shadow_ = shadow;
  return item;
}

ListItem* AsListItem(MListItem* item) {
  // Other callers may put items of their own into the part's list.
  return dynamic_cast<ListItem*>(item);
}

int32_t ListItem::DrawItem(MCanvas* canvas, const RectI* rect, uint32_t state, int32_t position) {
  if (!canvas || !rect || rect->Empty() || !off_) return 0;
  const int32_t place = std::clamp(position, 0, 3);
  const bool selected = (state & kItemSelected) != 0;
  const bool hover = (state & kItemHover) != 0;
  const VisualParameters params;
  bool drew = DrawLook((*off_)[place], *rect, canvas, hover, params);
  if (on_ && selected) drew |= DrawLook((*on_)[place], *rect, canvas, hover, params);

  MFont* font = WindowFont(owner_);
  if (text_.IsEmpty() || !font) return drew ? 1 : 0;
  const ItemLook& look = (*off_)[place];
  uint32_t color = look.color1;
  if (state & kItemDisabled) {
    color = look.color3;
  } else if (hover || (on_ && selected)) {
    color = look.color2;
  }
  uint32_t flags = look.justification;
  if (!(flags & kTextVMask)) flags |= kTextVCenter;
  flags |= kTextSingleLine;
  const RectI textRect{rect->left + kTextMargin, rect->top, rect->right - kTextMargin,
                       rect->bottom};
  const auto length = static_cast<int32_t>(text_.Length());
  if (shadow_) {
    const uint32_t alpha = ((color >> 24) * kShadowAlpha) >> 8;
    const RectI shadowRect{textRect.left + 1, textRect.top + 1, textRect.right + 1,
                           textRect.bottom + 1};
    if (alpha != 0)
      font->DrawText(canvas, text_.c_str(), length, shadowRect, flags, kTextBlend, alpha << 24,
                     256);
  }
  font->DrawText(canvas, text_.c_str(), length, textRect, flags, kTextBlend, color, 256);
  return 1;
}

int32_t ListItem::ItemHeight() {
  const int32_t lineHeight = FontLineHeight(WindowFont(owner_));
  return lineHeight > 0 ? lineHeight + kRowPadding : 0;
}

}  // namespace vk2::markup
