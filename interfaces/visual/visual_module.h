// Runtime visual modules: classes a plug-in file registers in kCategoryVisualModules and the
// host creates through the file's own MIFactory, asking for MVisualModule. They draw into the
// host's image and read the player's audio and stream values through the host object.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"
#include "interfaces/visual/visual_plugin.h"

namespace vk2 {

// The player's audio as the history holds it. Play states of GetPlayState.
inline constexpr int32_t kVisualSourceIdle = 0;
inline constexpr int32_t kVisualSourcePaused = 1;
inline constexpr int32_t kVisualSourcePlaying = 16;

class MVisualAudioSource {
 public:
  virtual bool GetFormat(uint32_t* channels, uint32_t* rate, uint32_t* bits, bool* isFloat) = 0;
  // The state; while playing or paused also the heard byte position and the oldest and newest
  // stored positions of the current chain.
  virtual bool GetPlayState(int32_t* state, int64_t* heard, int64_t* oldest, int64_t* newest) = 0;
  virtual int64_t GetHeardBytes() = 0;
  // Raw stored samples of one channel (a VisualHistoryRead code on failure).
  virtual int32_t ReadSamples(int64_t position, uint32_t channel, uint32_t count,
                              int8_t* destination) = 0;
  virtual bool GetTotalTime(double* seconds) = 0;
  virtual bool GetStreamTime(double* seconds) = 0;
  virtual bool GetUrl(TString* url) = 0;
  virtual bool GetTitle(TString* title) = 0;
  virtual bool GetAuthor(TString* author) = 0;

 protected:
  ~MVisualAudioSource() = default;
};

// What the host hands a runtime module for one connection; valid until the module's Stop or
// the next SetHost.
class MVisualModuleHost {
 public:
  virtual void SetName(const char16_t* name) = 0;
  virtual void GetName(TString* name) = 0;
  // The connected player's interface with a reference, or null.
  virtual MUnknown* QueryPlayer(const Guid& iid) = 0;
  virtual MVisualAudioSource* AudioSource() = 0;
  virtual VisualHostInfo* PluginInfo() = 0;

 protected:
  ~MVisualModuleHost() = default;
};

// Only stored by the host for the module to read and fill.
struct VisualRenderSettings {
  int32_t sampleBits = 8;  // 8 or 32
  int32_t waveformChannels = 2;
  int32_t spectrumChannels = 2;
  int32_t preferredWidth = -1;
  int32_t preferredHeight = -1;
  int32_t secondWidth = -1;
  int32_t secondHeight = -1;
  int32_t option = 0;
};

class MVisualModuleRenderer : public MUnknown {
 public:
  virtual void Draw(const SurfaceView* image) = 0;

 protected:
  ~MVisualModuleRenderer() = default;
};

class MVisualModule : public MUnknown {
 public:
  virtual void SetHost(MVisualModuleHost* host) = 0;
  virtual bool AcceptsMode(int32_t mode) = 0;
  // A renderer for `mode` (with a reference), or null.
  virtual MVisualModuleRenderer* CreateRenderer(int32_t mode, VisualRenderSettings* settings) = 0;
  virtual void Start() = 0;
  virtual bool NeedsRedraw() = 0;
  virtual void Stop() = 0;

 protected:
  ~MVisualModule() = default;
};

}  // namespace vk2
