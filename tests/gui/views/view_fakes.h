// Stand-ins for the windows' drawing tests: an image that fills its rectangle with one colour
// and counts its draws, and a font whose characters are all 6 pixels wide and which records
// what it was asked to draw.
#pragma once

#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/font.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui::test {

class SolidImage final : public ComObject<SolidImage, SilentFace<MImageStyleDrawing>> {
 public:
  explicit SolidImage(uint32_t colour) : colour_(colour) {}
  int32_t Draw(const RectI& rect, MCanvas* canvas, uint32_t, double,
               const VisualParameters&) override {
    ++draws;
    canvas->FillRect(
        RectF{double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)},
        colour_, 0xF, 256, false);
    return 1;
  }
  int32_t CountStyles(uint32_t) override { return 1; }
  int draws = 0;

 private:
  uint32_t colour_;
};

struct DrawnText {
  std::string text;
  RectI rect;
  uint32_t flags = 0;
  uint32_t colour = 0;
};

class FixedFont final : public ComObject<FixedFont, SilentFace<MFont>> {
 public:
  static constexpr int32_t kCharWidth = 6;
  int32_t TextWidth(const char16_t* text, int32_t length) override {
    if (length < 0) length = static_cast<int32_t>(std::char_traits<char16_t>::length(text));
    return length * kCharWidth;
  }
  int32_t WrappedHeight(const char16_t*, int32_t, int32_t, uint32_t) override { return 10; }
  int32_t GetMetrics(FontMetrics* metrics) override {
    metrics->lineHeight = 10;
    return 0;
  }
  int32_t DrawText(MCanvas*, const char16_t* text, int32_t length, const RectI& rect,
                   uint32_t flags, uint64_t, uint32_t colour, int32_t) override {
    drawn.push_back({Utf8(TString(std::u16string_view(text, static_cast<size_t>(length)))).c_str(),
                     rect, flags, colour});
    return 0;
  }
  std::vector<DrawnText> drawn;
};

}  // namespace vk2::gui::test
