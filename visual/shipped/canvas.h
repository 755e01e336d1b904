/* What the shipped visuals share: the player's colours and the few drawing steps both take. Plain
 * C, header only, so that each plug-in stays one file with nothing but libc behind it. */
#ifndef VK2_VISUAL_SHIPPED_CANVAS_H
#define VK2_VISUAL_SHIPPED_CANVAS_H

#include <stddef.h>
#include <stdint.h>

#include "interfaces/visual/visual_plugin.h"

#define VK2_VISUAL_EXPORT __attribute__((visibility("default")))

/* The default interface's colours: its dark panel, its blue and the blue's light tint. */
enum { kCanvasBackground = 0x0016181Du, kCanvasBlue = 0x003FA7F5u, kCanvasLightBlue = 0x007CC4FAu };

static inline void CanvasFill(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                              uint32_t colour) {
  for (int32_t y = 0; y < height; ++y) {
    uint32_t* row = pixels + (int64_t)y * pitch;
    for (int32_t x = 0; x < width; ++x)
      row[x] = colour;
  }
}

/* Rows `top` to `bottom` (either order, both included) of column `x`. */
static inline void CanvasColumn(uint32_t* pixels, int32_t pitch, int32_t x, int32_t top,
                                int32_t bottom, uint32_t colour) {
  if (top > bottom) {
    int32_t swap = top;
    top = bottom;
    bottom = swap;
  }
  for (int32_t y = top; y <= bottom; ++y)
    pixels[(int64_t)y * pitch + x] = colour;
}

/* Nothing to keep between runs. */
static inline void CanvasNoSettings(const char* path) {
  (void)path;
}

#endif
