// A small canvas on a surface of its own, filled with one colour, and pixel comparisons with a
// tolerance for antialiased edges.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/canvas.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"

namespace vk2::gfx::testing {

class SmallCanvas {
 public:
  SmallCanvas(int32_t width, int32_t height, uint32_t fill) {
    EXPECT_EQ(CreateSurface(width, height, PixelFormat::kArgb32, &surface_), 0);
    surface_->GetView(&view_);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x)
        view_.Argb(y)[x] = fill;
    }
    EXPECT_EQ(CreateCanvas(surface_.Get(), &canvas_), 0);
  }

  MCanvas* operator->() const { return canvas_.Get(); }
  MCanvas* Get() const { return canvas_.Get(); }
  uint32_t At(int32_t x, int32_t y) const { return view_.Argb(y)[x]; }
  const SurfaceView& View() const { return view_; }
  int32_t Count(uint32_t color) const {
    int32_t n = 0;
    for (int32_t y = 0; y < view_.height; ++y) {
      for (int32_t x = 0; x < view_.width; ++x)
        n += At(x, y) == color;
    }
    return n;
  }

 private:
  RefPtr<MSurface> surface_;
  RefPtr<MCanvas> canvas_;
  SurfaceView view_;
};

// Pixels held by the test itself, viewed as a source.
struct PixelsOf {
  std::vector<uint32_t> argb;
  std::vector<uint8_t> bytes;
  int32_t width = 0;
  int32_t height = 0;

  static PixelsOf Argb(int32_t w, int32_t h, std::vector<uint32_t> pixels) {
    PixelsOf p;
    p.argb = std::move(pixels);
    p.width = w;
    p.height = h;
    return p;
  }
  static PixelsOf Index(int32_t w, int32_t h, std::vector<uint8_t> pixels) {
    PixelsOf p;
    p.bytes = std::move(pixels);
    p.width = w;
    p.height = h;
    return p;
  }
  SurfaceView View() {
    if (!argb.empty()) {
      return SurfaceView{reinterpret_cast<uint8_t*>(argb.data()), width, height, width * 4,
                         PixelFormat::kArgb32};
    }
    return SurfaceView{bytes.data(), width, height, width, PixelFormat::kIndex8};
  }
  BlitSource Source(const uint32_t* palette = nullptr) {
    BlitSource s;
    s.view = View();
    s.rect = RectI{0, 0, width, height};
    s.palette = palette;
    return s;
  }
};

inline std::string Hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

// Every channel within `tolerance` of the expected value.
inline ::testing::AssertionResult PixelNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) {
      return ::testing::AssertionFailure() << "pixel " << Hex(actual) << ", expected "
                                           << Hex(expected) << " (+-" << tolerance << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vk2::gfx::testing
