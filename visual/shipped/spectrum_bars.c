/* "Spectrum": the host's spectrum as blue bars on the dark panel, each bar with a light peak mark
 * that stays a moment at the bar's highest and then falls. A bar covers an even share of the 256
 * bins and stands as high as the loudest of them in either channel. */
#include <string.h>

#include "visual/shipped/canvas.h"

enum {
  kMaxBars = 64,
  kMinBarWidth = 3, /* pixels, one of them the gap */
  kPeakHoldFrames = 8,
  kPeakFallStep = 6, /* height units (of 255) per frame once the hold is over */
  kPeakThickness = 2,
  kLevelGain = 2
};

static int32_t gPeak[kMaxBars]; /* in height units, 0..255 */
static int32_t gPeakHold[kMaxBars];

static void Initialize(void) {
  memset(gPeak, 0, sizeof gPeak);
  memset(gPeakHold, 0, sizeof gPeakHold);
}

static int32_t BarCount(int32_t width) {
  int32_t bars = width / kMinBarWidth;
  if (bars > kMaxBars) bars = kMaxBars;
  return bars < 1 ? 1 : bars;
}

/* A bar's height, 0..255: the loudest of its bins in either channel. Music's bytes sit low in
 * their range, so they count twice (a bar fills the height from half the range up); the leakage
 * of a pure tone, a few units, stays a sliver. */
static int32_t BarLevel(const VisualAudioRecord* audio, int32_t bar, int32_t bars) {
  const int32_t first = bar * kVisualSpectrumBins / bars;
  const int32_t end = (bar + 1) * kVisualSpectrumBins / bars;
  int32_t loudest = 0;
  for (int32_t bin = first; bin < end; ++bin) {
    for (int channel = 0; channel < 2; ++channel) {
      if (audio->spectrum[channel][bin] > loudest) loudest = audio->spectrum[channel][bin];
    }
  }
  return loudest * kLevelGain > 255 ? 255 : loudest * kLevelGain;
}

static void UpdatePeak(int32_t bar, int32_t level) {
  if (level >= gPeak[bar]) {
    gPeak[bar] = level;
    gPeakHold[bar] = kPeakHoldFrames;
  } else if (gPeakHold[bar] > 0) {
    --gPeakHold[bar];
  } else {
    gPeak[bar] = gPeak[bar] > level + kPeakFallStep ? gPeak[bar] - kPeakFallStep : level;
  }
}

/* The row of the top of a column `level` high (255 fills the height). */
static int32_t TopRow(int32_t level, int32_t height) {
  return height - 1 - level * (height - 1) / 255;
}

static void Render(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                   const VisualAudioRecord* audio) {
  if (!pixels || width <= 0 || height <= 0 || pitch < width) return;
  CanvasFill(pixels, width, height, pitch, kCanvasBackground);
  if (!audio) return;
  const int32_t bars = BarCount(width);
  for (int32_t bar = 0; bar < bars; ++bar) {
    const int32_t level = BarLevel(audio, bar, bars);
    UpdatePeak(bar, level);
    const int32_t left = bar * width / bars;
    int32_t right = (bar + 1) * width / bars - 1;
    if (right - left >= 2) --right; /* a gap between bars that are wide enough for one */
    const int32_t barTop = TopRow(level, height);
    int32_t peakTop = TopRow(gPeak[bar], height) - kPeakThickness;
    if (peakTop < 0) peakTop = 0;
    int32_t peakBottom = peakTop + kPeakThickness - 1;
    if (peakBottom >= height) peakBottom = height - 1;
    for (int32_t x = left; x <= right; ++x) {
      if (level > 0) CanvasColumn(pixels, pitch, x, barTop, height - 1, kCanvasBlue);
      if (gPeak[bar] > 0) {
        CanvasColumn(pixels, pitch, x, peakTop, peakBottom, kCanvasLightBlue);
      }
    }
  }
}

static void Deinitialize(void) {}

static void SetHostInfo(VisualHostInfo* host) {
  (void)host;
}

static VisualPluginRecord gRecord = {1,
                                     "Spectrum",
                                     kVisualWantsSpectrum | kVisualAllowsPostEffects,
                                     Initialize,
                                     Render,
                                     CanvasNoSettings,
                                     CanvasNoSettings,
                                     Deinitialize,
                                     NULL,
                                     SetHostInfo};

VK2_VISUAL_EXPORT VisualPluginRecord* QueryModule(void) {
  return &gRecord;
}
