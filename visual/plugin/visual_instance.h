// Drives one visual for one player: calls into a first-generation plug-in through its record,
// or into a runtime visual module; owns the image the visual draws into, feeds it the player's
// audio from the history, runs the post effects and copies the image to the caller. Every call
// into plug-in code runs under the crash guard; a plug-in that faulted is reported and never
// called again, and its entry is taken out of use.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/core/player.h"
#include "interfaces/visual/visual_host.h"
#include "interfaces/visual/visual_module.h"
#include "interfaces/visual/visual_plugin.h"
#include "visual/plugin/plugin_host_info.h"
#include "visual/plugin/visual_image.h"

namespace vk2 {

class VisualEntry;

class VisualInstance {
 public:
  explicit VisualInstance(VisualEntry* entry);
  ~VisualInstance();
  VisualInstance(const VisualInstance&) = delete;
  VisualInstance& operator=(const VisualInstance&) = delete;

  // First generation: takes the record from QueryModule (once). False when there is none.
  bool Query();
  // Runtime module: creates the module object through the file's MIFactory (once).
  bool CreateModule();
  bool Ready() const { return ready_; }

  // Deinitialises for the previous player and initialises for `player` (null: none).
  void Connect(MPlayer* player);
  bool Connected();
  MPlayer* Player();
  // Runtime modules: the drawing renderer on, or off.
  void StartOutput();
  void StopOutput();
  bool AcceptsMode(int32_t mode);

  // The frame count; draws into `target` over [x0, x1) x [y0, y1).
  int32_t Render(const SurfaceView* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 const VisualPostEffectItem* effects, uint32_t effectCount, uint32_t renderKey);
  bool NeedsRedraw();
  void RemoveRenderArea(uint32_t renderKey);

  // Deinitialises (unless the plug-in faulted) and releases the module objects.
  void Shutdown();
  bool Crashed() const { return crashed_; }

 private:
  struct RenderArea {
    uint32_t key;
    int32_t width;
    int32_t height;
  };

  // Runs `call` under the guard; a fault is reported with `stage` and ends all further calls.
  template <class F>
  bool CallPlugin(const char16_t* stage, F&& call);
  void Initialize();
  void Deinitialize();
  void SetRenderArea(uint32_t key, int32_t width, int32_t height);
  void ResizeImage();
  void Draw(const VisualAudioRecord* record, const VisualPostEffectItem* effects,
            uint32_t effectCount);
  bool HeardPosition(int64_t* heard, uint32_t* chain);

  VisualEntry* entry_;
  bool ready_ = false;
  bool initialized_ = false;
  bool firstGeneration_ = false;
  bool crashed_ = false;
  bool faulted_ = false;  // by a signal, not an exception

  std::recursive_mutex lock_;        // fetch state, player and connection
  std::recursive_mutex renderLock_;  // the image and the plug-in's calls
  RefPtr<MPlayer> player_;
  std::unique_ptr<PluginHostInfo> hostInfo_;

  std::vector<RenderArea> areas_;
  VisualImage image_;
  uint32_t frames_ = 0;
  uint32_t framesReturned_ = 0;
  int32_t lastWidth_ = 0;
  int32_t lastHeight_ = 0;
  int32_t sameSizeFrames_ = 0;
  int64_t lastHeard_ = 0;
  uint32_t lastChain_ = 0;

  VisualPluginRecord* record_ = nullptr;
  RefPtr<MUnknown> classObject_;
  RefPtr<MVisualModule> module_;
  RefPtr<MVisualModuleRenderer> renderer_;
  VisualRenderSettings settings_;
};

}  // namespace vk2
