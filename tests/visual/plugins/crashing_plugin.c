/* A first-generation test plug-in that faults where the test asks it to (CrashAt): in
 * Initialize, or in Render with a null write or an integer division by zero. Built without
 * sanitizers, so that the fault is a real signal. */
#include <stddef.h>

#include "interfaces/visual/visual_plugin.h"

#define EXPORT __attribute__((visibility("default")))

enum { kNowhere = 0, kInInitialize = 1, kSegvInRender = 2, kFpeInRender = 3 };

static int gCrashAt = kNowhere;
static int gRenders;
static volatile int gZero;

static void Fault(void) {
  if (gCrashAt == kFpeInRender) {
    volatile int n = 1 / gZero;
    (void)n;
  }
  *(volatile int*)(size_t)gZero = 1;
}

static void Initialize(void) {
  if (gCrashAt == kInInitialize) Fault();
}

static void Render(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                   const VisualAudioRecord* audio) {
  (void)audio;
  ++gRenders;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      pixels[y * pitch + x] = 0x00FF0000u;
  }
  if (gCrashAt == kSegvInRender || gCrashAt == kFpeInRender) Fault();
}

static VisualPluginRecord gRecord = {
    1, "Crasher", kVisualWantsSpectrum, Initialize, Render, NULL, NULL, NULL, NULL, NULL};

EXPORT VisualPluginRecord* QueryModule(void) {
  return &gRecord;
}

EXPORT void CrashAt(int where) {
  gCrashAt = where;
}

EXPORT int RenderCount(void) {
  return gRenders;
}
