// Controls made from markup on the headless GUI layer: a Generic window "main" holding the
// controls under test, a raster font "glyphs" in the package (exact pixels), and helpers to
// drive the pointer and read presented pixels in main's host coordinates.
#pragma once

#include <cstdint>
#include <string>

#include "tests/markup/styles/font_services.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {

// The raster font in the package: "A" a solid 2 x 3 block, "B" 3 x 3 with only its middle
// column set; one pixel row above the glyphs in the strip, none between them.
inline constexpr const char* kGlyphFont =
    "<fontstyle name=\"glyphs\" type=\"raster\" source=\"glyphs.psd\">"
    "<glyphlist>AB</glyphlist></fontstyle>\n";

class ControlTest : public MarkupWindowTest {
 protected:
  // Loads `windows` (kGlyphFont is added in front), creates "main" and lets it settle.
  void Open(const std::string& windows);
  // A window below main by its name.
  MWindowElement* Find(const char16_t* name);
  // Runs `script` on the window's script object; the result as text.
  std::string RunOn(const char16_t* name, const std::string& script, int32_t* status = nullptr) {
    return Run(Find(name), script, status);
  }
  std::string MemberOf(const char16_t* name, const char16_t* member) {
    return Member(Find(name), member);
  }
  uint32_t HostId();
  // The presented pixel at a point of main (premultiplied ARGB), after a repaint (20 ms on).
  uint32_t Pixel(int32_t x, int32_t y);
  // The same as last presented, the clock left alone.
  uint32_t PresentedPixel(int32_t x, int32_t y);
  // Pointer input at main's coordinates, each followed by a loop turn.
  void Press(int32_t x, int32_t y);
  void Release(int32_t x, int32_t y);
  void Move(int32_t x, int32_t y);
  void Click(int32_t x, int32_t y);

  WithFonts fonts_;
  RefPtr<MWindowElement> main_;
};

}  // namespace vk2::test
