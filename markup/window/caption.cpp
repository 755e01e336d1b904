#include "markup/window/caption.h"

#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "markup/definition/state_styles.h"
#include "markup/tween/tween.h"
#include "markup/window/window_font.h"

namespace vk2::markup {
namespace {

constexpr uint64_t kTextBlend = 0x1000001000Full;  // PS_NORMAL
constexpr uint32_t kLookBits[4] = {0x10, 2, 4, 8};
constexpr uint32_t kShadowAlpha = 0xC0;

}  // namespace

RefPtr<Caption> Caption::Make() {
  return RefPtr<Caption>(new (std::nothrow) Caption());
}

int32_t Caption::LookIndex(uint32_t stateBits) {
  for (int32_t i = 0; i < 4; ++i) {
    if (stateBits & kLookBits[i]) return i;
  }
  return -1;
}

int32_t Caption::Measure(SizeI* out, MWindowElement* window, int32_t half) {
  if (!out) return kErrMissingArg;
  *out = SizeI{0, 0};
  MFont* font = WindowFont(window);
  if (!font) return kOk;
  const int32_t h = FontLineHeight(font);
  const int32_t margin = half ? 2 * (h / 2) : 2 * h;
  out->width = font->TextWidth(text_.c_str(), static_cast<int32_t>(text_.Length())) + 1 + margin;
  out->height = h + 5;
  return kOk;
}

int32_t Caption::Draw(const RectI& rect, MCanvas* canvas, const double* weights,
                      int32_t weightCount, MWindowElement* window, uint32_t stateBits) {
  const int32_t look = LookIndex(stateBits);
  if (rect.Empty() || !canvas || !window || !table_ || look < 0 || !table_[look].style) return 0;
  const TextFontLook& first = table_[look];
  MImageStyleDrawing* styles[2] = {first.style, nullptr};
  int32_t count = 1;
  bool transparent = first.transparent != 0;
  if (secondSet_ && table_[look + 4].style) {
    styles[count++] = table_[look + 4].style;
    transparent = transparent || table_[look + 4].transparent != 0;
  }
  StateStyleSet set;
  set.styles = styles;
  set.count = count;
  set.weights = weights;
  set.weightCount = weightCount;
  DrawStateStyles(rect, canvas, set, transparent, 1.0, VisualParameters{});

  MFont* font = WindowFont(window);
  if (text_.IsEmpty() || !font) return 1;
  const int32_t h = FontLineHeight(font);
  const int32_t margin = (stateBits & kTextFontHalfMargin) ? h / 2 : h;
  RectI textRect{rect.left + margin, rect.top + 2, rect.right - margin, rect.bottom - 2};
  textRect.top += (textRect.Height() - h) / 2;

  uint32_t state = 0;
  window->GetValue(kValueStateFlags, &state, sizeof state);
  uint32_t color = first.disabledColor;
  if (!(state & kStateDisabledLook)) {
    const double normal = weights && weightCount > 0 ? weights[0] : 1.0;
    color = tween::LerpArgb(1.0 - normal, first.colorB, first.colorA);
  }
  const auto length = static_cast<int32_t>(text_.Length());
  if (shadow_) {
    const uint32_t alpha = ((color >> 24) * kShadowAlpha) >> 8;
    if (alpha != 0) {
      const RectI shadowRect{textRect.left + 1, textRect.top + 1, textRect.right + 1,
                             textRect.bottom + 1};
      font->DrawText(canvas, text_.c_str(), length, shadowRect, first.justification, kTextBlend,
                     alpha << 24, 256);
    }
  }
  font->DrawText(canvas, text_.c_str(), length, textRect, first.justification, kTextBlend, color,
                 256);
  return 1;
}

int32_t Caption::GetFlags(uint32_t stateBits) {
  if (!table_) return flags_;
  // A state that selects no look has nothing behind its text either.
  const int32_t look = LookIndex(stateBits);
  if (look < 0 || !table_[look].style || table_[look].transparent)
    return flags_ + kTextFontNoBackground;
  return flags_;
}

int32_t Caption::SetAll(const char16_t* text, const TextFontLook* table, MUnknown* attached,
                        int32_t flags, int32_t secondSet) {
  text_ = TString(text ? text : u"");
  table_ = table;
  attached_ = RefPtr<MUnknown>(attached);
  flags_ = flags;
  secondSet_ = secondSet != 0;
  index_ = -1;
  return kOk;
}

int32_t Caption::SetAllIndexed(const char16_t* text, const TextFontLook* table, int32_t index,
                               int32_t flags, int32_t secondSet) {
  text_ = TString(text ? text : u"");
  table_ = table;
  index_ = index;
  flags_ = flags;
  secondSet_ = secondSet != 0;
  return kOk;
}

int32_t Caption::SetShadow(int32_t shadow) {
  shadow_ = shadow != 0;
  return kOk;
}

int32_t Caption::SetText(const char16_t* text) {
  text_ = TString(text ? text : u"");
  return kOk;
}

int32_t Caption::GetText(TString* out) {
  if (!out) return kErrMissingArg;
  *out = text_;
  return kOk;
}

int32_t Caption::SetIndex(int32_t index) {
  index_ = index;
  return kOk;
}

int32_t Caption::SetData(MUnknown* data) {
  data_ = RefPtr<MUnknown>(data);
  return kOk;
}

}  // namespace vk2::markup
