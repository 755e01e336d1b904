/* A first-generation test plug-in that writes down every call it gets (read by the tests
 * through PluginLog). Built several ways: PLUGIN_FEATURES 0 or 1, and PLUGIN_PROBE to read the
 * host information on each frame. It paints each frame from the first waveform sample. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "interfaces/visual/visual_plugin.h"

#define EXPORT __attribute__((visibility("default")))

static char gLog[16384];
static VisualHostInfo* gHost;

static void Note(const char* format, ...) {
  size_t used = strlen(gLog);
  if (used + 2 >= sizeof gLog) return;
  va_list args;
  va_start(args, format);
  vsnprintf(gLog + used, sizeof gLog - used - 1, format, args);
  va_end(args);
  strcat(gLog, ";");
}

static void Initialize(void) {
  char cwd[1024];
  Note("init cwd=%s", getcwd(cwd, sizeof cwd) ? cwd : "?");
}

static void Render(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                   const VisualAudioRecord* audio) {
  Note("render %dx%d/%d", (int)width, (int)height, (int)pitch);
  const uint32_t colour = 0x00100000u | (uint8_t)audio->waveform[0][511];
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      pixels[y * pitch + x] = colour;
  }
#ifdef PLUGIN_PROBE
  if (gHost) {
    int32_t value = -1;
    int32_t ok = gHost->ops->GetInteger(gHost, "currentsongposition", &value);
    Note("position %d %d", (int)ok, (int)value);
    const char* names[] = {"currentsongtitle", "currentskinname", "currentsonglength",
                           "nosuchname"};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
      char* text = gHost->ops->GetString(gHost, names[i]);
      Note("%s=%s", names[i], text ? text : "(null)");
      gHost->ops->FreeString(gHost, text);
    }
  }
#endif
}

static void SaveSettings(const char* path) {
  Note("save %s", strrchr(path, '/') ? strrchr(path, '/') + 1 : path);
}

static void LoadSettings(const char* path) {
  Note("load %s", strrchr(path, '/') ? strrchr(path, '/') + 1 : path);
}

static void Deinitialize(void) {
  Note("deinit");
}

static void SetHostInfo(VisualHostInfo* host) {
  gHost = host;
  Note("hostinfo");
}

static VisualPluginRecord gRecord = {
    PLUGIN_FEATURES, PLUGIN_NAME,  PLUGIN_FLAGS, Initialize, Render,
    SaveSettings,    LoadSettings, Deinitialize, NULL,       SetHostInfo};

EXPORT VisualPluginRecord* QueryModule(void) {
  Note("query");
  return &gRecord;
}

EXPORT const char* PluginLog(void) {
  return gLog;
}

EXPORT void ClearPluginLog(void) {
  gLog[0] = 0;
}
