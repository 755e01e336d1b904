#include "oru/graphics/canvas/composer.h"

#include <dlfcn.h>
#include <pixman.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "oru/graphics/canvas/blend_program.h"
#include "oru/graphics/canvas/pixel.h"

namespace vk2::gfx {
namespace {

// pixman keeps the implementations it picks at load time in globals it never frees. Loaded only
// as our dependency, it would be unloaded with us and leave them unreachable; kept loaded for the
// life of the process, they stay what they are, process-wide state.
const bool kPixmanPinned = [] {
  return dlopen("libpixman-1.so.0", RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}();

struct PixmanImageDeleter {
  void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using PixmanImage = std::unique_ptr<pixman_image_t, PixmanImageDeleter>;

PixmanImage WrapArgb(const uint32_t* pixels, int32_t width, int32_t height, int32_t strideBytes) {
  return PixmanImage(pixman_image_create_bits_no_clear(PIXMAN_a8r8g8b8, width, height,
                                                       const_cast<uint32_t*>(pixels), strideBytes));
}

PixmanImage SolidImage(uint32_t premultiplied) {
  const pixman_color_t c{static_cast<uint16_t>(Channel(premultiplied, kRedShift) * 257),
                         static_cast<uint16_t>(Channel(premultiplied, kGreenShift) * 257),
                         static_cast<uint16_t>(Channel(premultiplied, kBlueShift) * 257),
                         static_cast<uint16_t>(AlphaOf(premultiplied) * 257)};
  return PixmanImage(pixman_image_create_solid_fill(&c));
}

// The weight (0-255) a mask byte carries for an opacity 0-256, as the blend kernels count it.
inline uint8_t Weighted(uint32_t coverage, int32_t opacity) {
  return static_cast<uint8_t>((coverage * static_cast<uint32_t>(opacity)) >> 8);
}

}  // namespace

void Compose(const SurfaceView& target, const ClipState& clip, const RectI& area,
             const ComposeSource& source, const CoverageMap* coverage, uint64_t code,
             int32_t opacity) {
  RectI a = IntersectRects(IntersectRects(area, target.Bounds()), clip.bounds);
  if (coverage) a = IntersectRects(a, coverage->rect);
  if (a.Empty() || target.format != PixelFormat::kArgb32) return;
  const BlendProgram& program = BlendProgram::For(code);
  if (program.WritesNothing()) return;
  const int32_t o = program.Opacity(opacity);
  if (o == 0) return;
  const int32_t w = a.Width();
  const int32_t h = a.Height();
  const bool hasMask = coverage != nullptr || clip.HasMask();

  // Joint coverage of geometry and clip over the area, when either applies: rows of 4-byte
  // multiples as pixman wants them, reused between calls on a thread (a surface is drawn by one
  // thread at a time).
  const int32_t jointStride = (w + 3) & ~3;
  thread_local std::vector<uint8_t> joint;
  auto buildJoint = [&] {
    joint.resize(static_cast<size_t>(jointStride) * h);
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* row = joint.data() + static_cast<size_t>(y) * jointStride;
      if (coverage) {
        std::copy_n(coverage->Row(a.top + y) + (a.left - coverage->rect.left), w, row);
      } else {
        std::fill_n(row, w, uint8_t{255});
      }
      if (clip.HasMask()) {
        const uint8_t* c =
            clip.mask.data() + static_cast<size_t>(a.top + y) * target.width + a.left;
        for (int32_t x = 0; x < w; ++x)
          row[x] = static_cast<uint8_t>(Div255(row[x] * c[x]));
      }
    }
  };

  const int32_t op = program.PixmanOperator();
  if (op >= 0 && (!program.PixmanNeedsFullCoverage() || (!hasMask && o == 256))) {
    PixmanImage dst = WrapArgb(reinterpret_cast<uint32_t*>(target.bits), target.width,
                               target.height, target.strideBytes);
    PixmanImage src;
    int32_t srcX = 0;
    int32_t srcY = 0;
    if (source.pixels) {
      // Only the rows the area reads are wrapped, so a source view needs no known height.
      const uint32_t* first = reinterpret_cast<const uint32_t*>(
          reinterpret_cast<const uint8_t*>(source.pixels) +
          static_cast<ptrdiff_t>(a.top - source.originY) * source.strideBytes);
      src = WrapArgb(first, a.right - source.originX, h, source.strideBytes);
      srcX = a.left - source.originX;
    } else {
      src = SolidImage(source.solid);
    }
    PixmanImage mask;
    if (hasMask) {
      buildJoint();
      if (o != 256) {
        for (uint8_t& v : joint)
          v = Weighted(v, o);
      }
      mask = PixmanImage(pixman_image_create_bits_no_clear(
          PIXMAN_a8, w, h, reinterpret_cast<uint32_t*>(joint.data()), jointStride));
    } else if (o != 256) {
      mask = SolidImage(static_cast<uint32_t>(Weighted(255, o)) << 24);
    }
    pixman_image_composite32(static_cast<pixman_op_t>(op), src.get(), mask.get(), dst.get(), srcX,
                             srcY, 0, 0, a.left, a.top, w, h);
    return;
  }

  if (hasMask) buildJoint();
  for (int32_t y = 0; y < h; ++y) {
    Span span;
    span.dst = target.Argb(a.top + y) + a.left;
    if (source.pixels) {
      span.src = reinterpret_cast<const uint32_t*>(
                     reinterpret_cast<const uint8_t*>(source.pixels) +
                     static_cast<ptrdiff_t>(a.top + y - source.originY) * source.strideBytes) +
                 (a.left - source.originX);
    }
    span.solid = source.solid;
    span.coverage = hasMask ? joint.data() + static_cast<size_t>(y) * jointStride : nullptr;
    span.count = w;
    span.x = a.left;
    span.y = a.top + y;
    span.opacity = o;
    program.Run(span);
  }
}

}  // namespace vk2::gfx
