/* "Scope": the waveform of each channel as a line, channel 0 in blue across the upper half and
 * channel 1 in the light blue across the lower half of the dark panel. Each column shows the
 * sample under it and is joined to the previous column's, so steep waves stay unbroken lines. */
#include "visual/shipped/canvas.h"

/* The row within a band of `bandHeight` rows from `bandTop` for a signed 8-bit sample: 127 at the
 * top, -128 at the bottom. */
static int32_t SampleRow(int8_t sample, int32_t bandTop, int32_t bandHeight) {
  return bandTop + (127 - sample) * (bandHeight - 1) / 255;
}

static void DrawChannel(uint32_t* pixels, int32_t width, int32_t pitch, const int8_t* samples,
                        int32_t bandTop, int32_t bandHeight, uint32_t colour) {
  int32_t previous = SampleRow(samples[0], bandTop, bandHeight);
  for (int32_t x = 0; x < width; ++x) {
    const int32_t index = (int32_t)((int64_t)x * kVisualWaveformSamples / width);
    const int32_t row = SampleRow(samples[index], bandTop, bandHeight);
    CanvasColumn(pixels, pitch, x, previous, row, colour);
    previous = row;
  }
}

static void Initialize(void) {}

static void Render(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                   const VisualAudioRecord* audio) {
  if (!pixels || width <= 0 || height <= 0 || pitch < width) return;
  CanvasFill(pixels, width, height, pitch, kCanvasBackground);
  if (!audio) return;
  const int32_t upper = (height + 1) / 2;
  DrawChannel(pixels, width, pitch, audio->waveform[0], 0, upper, kCanvasBlue);
  if (height - upper > 0) {
    DrawChannel(pixels, width, pitch, audio->waveform[1], upper, height - upper, kCanvasLightBlue);
  }
}

static void Deinitialize(void) {}

static void SetHostInfo(VisualHostInfo* host) {
  (void)host;
}

static VisualPluginRecord gRecord = {
    1,      "Scope",          kVisualAllowsPostEffects, Initialize,
    Render, CanvasNoSettings, CanvasNoSettings,         Deinitialize,
    NULL,   SetHostInfo};

VK2_VISUAL_EXPORT VisualPluginRecord* QueryModule(void) {
  return &gRecord;
}
