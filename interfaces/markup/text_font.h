// A caption: one line of text with a look per state (an image style behind it, two colours the
// text blends between by the normal-state weight, a disabled colour, a justification), drawn
// vertically centred, optionally with a drop shadow. Lists and pickers keep one per item; other
// modules make it through the markup module's class for MFontObject.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/markup/window_definition.h"
#include "interfaces/unknown.h"

namespace vk2 {

// One state's look. A table holds four (the states of bits 0x10, 2, 4 and 8, tested in that
// order), and four more right after them when the second set is on.
struct TextFontLook {
  MImageStyleDrawing* style = nullptr;
  uint32_t colorA = 0;  // fully normal
  uint32_t colorB = 0;  // fully out of the normal state
  uint32_t disabledColor = 0;
  uint32_t justification = 0;  // font text flags
  int32_t transparent = 0;     // the style does not cover its rectangle
};

// What GetFlags adds when the selected look has no image style or a transparent one.
inline constexpr int32_t kTextFontNoBackground = 4;
// State bit that halves the caption's side margins.
inline constexpr uint32_t kTextFontHalfMargin = 1;

class MTextFont : public MUnknown {
 public:
  // The caption's size with the window's `font`: (0, 0) without one.
  virtual int32_t Measure(SizeI* out, MWindowElement* window, int32_t half) = 0;
  // `weights` three per look drawn (normal, hit, hover); nonzero when drawn.
  virtual int32_t Draw(const RectI& rect, MCanvas* canvas, const double* weights,
                       int32_t weightCount, MWindowElement* window, uint32_t stateBits) = 0;
  virtual int32_t GetIndex() = 0;
  virtual int32_t GetFlags(uint32_t stateBits) = 0;
  // No reference added.
  virtual MUnknown* GetAttached() = 0;
  // The table is the caller's and must outlive the caption's use of it. The index becomes -1.
  virtual int32_t SetAll(const char16_t* text, const TextFontLook* table, MUnknown* attached,
                         int32_t flags, int32_t secondSet) = 0;
  virtual int32_t SetAllIndexed(const char16_t* text, const TextFontLook* table, int32_t index,
                                int32_t flags, int32_t secondSet) = 0;
  virtual int32_t SetShadow(int32_t shadow) = 0;
  virtual int32_t SetText(const char16_t* text) = 0;
  virtual int32_t GetText(TString* out) = 0;
  virtual int32_t SetIndex(int32_t index) = 0;
  virtual int32_t SetData(MUnknown* data) = 0;
  // No reference added.
  virtual MUnknown* GetData() = 0;

 protected:
  ~MTextFont() = default;
};

}  // namespace vk2
