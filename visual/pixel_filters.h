// The image operations the post effects are made of, on 32-bit pixels (every byte of a pixel is
// treated alike, so they serve straight and premultiplied pixels the same).
#pragma once

#include <cstdint>

#include "interfaces/graphics/surface.h"

namespace vk2 {

// Darkens every channel by about 1/2^(8 - strength) (strength 1 to 7), at least one step, so
// that a faded image reaches black.
void FadePixels(const SurfaceView& image, int32_t strength);
// A 3 x 3 box blur, edges repeated.
void BlurPixels(const SurfaceView& image);
// Moves rows [top, bottom) one row away from the centre line, softened sideways: `upward` for
// the upper half (each row takes the one below it), else downward.
void SmokePixels(const SurfaceView& image, int32_t top, int32_t bottom, bool upward);
// Scales the image about its centre by 1 + amount / 256 (amount > 0 zooms out of the centre,
// < 0 into it); what comes from outside is black.
void ZoomPixels(const SurfaceView& image, double amount);

}  // namespace vk2
