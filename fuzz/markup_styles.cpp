// Image styles, shapes and hit styles: whatever a document says, reading them and drawing,
// clipping and hit testing with them neither crashes nor hangs. The styles draw on a small
// canvas; the package holds one small image for rasters and masks to load. Palettes and curves
// come without the image-style service (a flat fill), which is all the drawing needs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/markup_fuzz_common.h"
#include "markup/styles/style_library.h"

namespace {

using namespace vk2;
using namespace vk2::markup;

constexpr size_t kMaxText = 32 * 1024;
constexpr int32_t kSide = 48;

// A 3 x 2 24-bit BMP.
std::string SmallBmp() {
  std::string b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                   3,   0,   0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 0, 0,
                   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0};
  b.resize(54 + 2 * 12, '\x80');
  b[2] = static_cast<char>(b.size());
  return b;
}

void InstallServices() {
  static bool installed = [] {
    InstallMarkupServices(markupfuzz::DocumentServices());
    return true;
  }();
  (void)installed;
}

void Exercise(InterfaceDefinition* definition, MCanvas* canvas) {
  StyleScope scope = StyleScope::Of(definition);
  const RectI full{0, 0, kSide, kSide};
  AnimationParams moving;
  moving.angle = 45;
  moving.time = 0.625f;
  moving.zoom = 2;
  moving.opacity = 0.5f;
  for (const char16_t* name : {u"a", u"b", u"s"}) {
    if (RefPtr<ImageStyleGroup> style = FindImageStyle(scope, name)) {
      style->Draw(full, canvas, 7, AnimationParams{}, 1.0);
      style->Draw(RectI{-5, 3, 20, 60}, canvas, 2, moving, 0.3);
    }
    if (RefPtr<ShapeGroup> shape = FindShape(scope, name)) {
      if (shape->ClipCanvas(full, canvas, kClipIntersect, 1)) canvas->PopClip(1);
      shape->HitTest(RectI{2, 2, 30, 20}, 5, 5);
    }
    if (RefPtr<HitStyle> hits = FindHitStyle(scope, name)) {
      for (int32_t p = 0; p < kSide; p += 7)
        hits->HitCode(full, p, kSide - p);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxText) return 0;
  InstallServices();
  markupfuzz::ForEachInterface(data, size, {{"i.bmp", SmallBmp()}}, kSide, Exercise);
  return 0;
}
