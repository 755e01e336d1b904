// A blend program: what one 64-bit blend code asks of each pixel, decided once per code and
// then run span by span. Codes that are a pixman operator say so, and the composer hands those
// spans to pixman; every other code runs our own combiners.
#pragma once

#include <cstdint>

#include "oru/graphics/canvas/blend_code.h"

namespace vk2::gfx {

// One run of pixels along a row. `src` null means every pixel is `solid`; `coverage` null means
// full coverage. Source pixels and `solid` are premultiplied.
struct Span {
  uint32_t* dst = nullptr;
  const uint32_t* src = nullptr;
  uint32_t solid = 0;
  const uint8_t* coverage = nullptr;
  int32_t count = 0;
  int32_t x = 0;  // position of the first pixel on the target (dissolve noise)
  int32_t y = 0;
  int32_t opacity = 256;  // 0-256, already 256 when the code has no opacity bit
};

class BlendProgram {
 public:
  static BlendProgram Compile(uint64_t code);
  // The compiled program of a code, from a small per-thread cache.
  static const BlendProgram& For(uint64_t code);

  void Run(const Span& span) const { kernel_(*this, span); }

  // The opacity that applies: the argument clamped to 0-256 with the opacity bit, else 256.
  int32_t Opacity(int32_t argument) const;
  bool WritesNothing() const { return writesNothing_; }
  // The pixman operator that gives this program's result, or -1.
  int32_t PixmanOperator() const { return pixmanOp_; }
  // True when that operator gives the result only at full coverage and opacity (a plain copy).
  bool PixmanNeedsFullCoverage() const { return pixmanMaskless_; }
  // True when, at full coverage and opacity, the program stores the source unchanged.
  bool IsPlainCopy() const { return pixmanMaskless_; }
  const BlendFields& Fields() const { return fields_; }

 private:
  using Kernel = void (*)(const BlendProgram&, const Span&);

  BlendFields fields_;
  Kernel kernel_ = nullptr;
  int32_t pixmanOp_ = -1;
  bool pixmanMaskless_ = false;
  bool writesNothing_ = false;
};

}  // namespace vk2::gfx
