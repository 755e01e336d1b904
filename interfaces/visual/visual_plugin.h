/* The binary interface of first-generation visual plug-ins on Linux: a shared object (built with
 * an rpath of $ORIGIN so that it finds its own companions) exporting `QueryModule`, which
 * returns the plug-in's record. Plain C so that plug-ins need no C++ runtime of ours; the
 * fields keep their historical order with natural 64-bit alignment. */
#ifndef VK2_INTERFACES_VISUAL_VISUAL_PLUGIN_H
#define VK2_INTERFACES_VISUAL_VISUAL_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kVisualWaveformSamples = 512, /* frames per record, oldest first */
  kVisualSpectrumBins = 256
};

/* What a plug-in receives each frame that brought new audio. Always fully written: stretches
 * the history cannot fill are zero. */
typedef struct VisualAudioRecord {
  int64_t timeMs; /* time of the first waveform frame in the stream, in milliseconds */
  int8_t waveform[2][kVisualWaveformSamples]; /* mono audio: channel 0 twice */
  uint8_t spectrum[2][kVisualSpectrumBins];   /* only with kVisualWantsSpectrum */
} VisualAudioRecord;

/* Record flags. */
enum {
  kVisualWantsSpectrum = 2, /* the host computes the spectrum bytes */
  kVisualAllowsPostEffects = 4
};

typedef struct VisualHostInfo VisualHostInfo;

/* The host's services, called with the object as first argument. Texts are UTF-8. */
typedef struct VisualHostInfoOps {
  /* "currentsonglength", "currentsongposition" (milliseconds); 1 when answered, else 0. */
  int32_t (*GetInteger)(VisualHostInfo* self, const char* name, int32_t* value);
  /* A new text (free it with FreeString), or null when the name is unknown. */
  char* (*GetString)(VisualHostInfo* self, const char* name);
  void (*FreeString)(VisualHostInfo* self, char* text);
} VisualHostInfoOps;

struct VisualHostInfo {
  const VisualHostInfoOps* ops;
};

typedef struct VisualPluginRecord {
  uint32_t features; /* nonzero: Deinitialize and SetHostInfo are there */
  const char* name;  /* shown to the user once the plug-in is initialised */
  uint32_t flags;    /* kVisualWantsSpectrum, kVisualAllowsPostEffects */
  void (*Initialize)(void);
  /* pixels: 32-bit 0x00RRGGBB, `pitch` pixels per row; audio: null when none arrived since the
   * last frame (the host then does not call Render at all). */
  void (*Render)(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                 const VisualAudioRecord* audio);
  void (*SaveSettings)(const char* path);
  void (*LoadSettings)(const char* path);
  void (*Deinitialize)(void);
  void* reserved;
  void (*SetHostInfo)(VisualHostInfo* host);
} VisualPluginRecord;

typedef VisualPluginRecord* (*VisualQueryModuleFn)(void);

#ifdef __cplusplus
}
#endif

#endif
