// The canvas object: MCanvas over one target surface.
#pragma once

#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/canvas.h"

namespace vk2::gfx {

// A canvas on `target`, which keeps its reference while the canvas lives.
int32_t CreateCanvas(MSurface* target, RefPtr<MCanvas>* canvas);
// A canvas on borrowed pixels, which must outlive it and keep their size.
int32_t CreateCanvasOnView(const SurfaceView& target, RefPtr<MCanvas>* canvas);
// Turns the canvas's gradient dithering on or off (off when created).
void SetCanvasDithering(MCanvas* canvas, bool on);

}  // namespace vk2::gfx
