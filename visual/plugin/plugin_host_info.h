// What a visual gets of its player for one connection: the C table first-generation plug-ins
// call (VisualHostInfo), and for runtime modules the host object with the audio source over the
// player's current chain in the history.
#pragma once

#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/core/player.h"
#include "interfaces/visual/visual_host.h"
#include "interfaces/visual/visual_module.h"
#include "interfaces/visual/visual_plugin.h"

namespace vk2 {

class VisualEntry;

class PluginHostInfo final : public MVisualModuleHost, public MVisualAudioSource {
 public:
  PluginHostInfo(VisualEntry* entry, RefPtr<MPlayer> player);
  PluginHostInfo(const PluginHostInfo&) = delete;
  PluginHostInfo& operator=(const PluginHostInfo&) = delete;
  ~PluginHostInfo() = default;

  MPlayer* Player() const { return player_.Get(); }

  // The plug-in side.
  bool GetInteger(const char* name, int32_t* value);
  char* GetString(const char* name);  // malloc'd, or null

  // MVisualModuleHost
  void SetName(const char16_t* name) override;
  void GetName(TString* name) override;
  MUnknown* QueryPlayer(const Guid& iid) override;
  MVisualAudioSource* AudioSource() override { return this; }
  VisualHostInfo* PluginInfo() override { return &plugin_.info; }

  // MVisualAudioSource
  bool GetFormat(uint32_t* channels, uint32_t* rate, uint32_t* bits, bool* isFloat) override;
  bool GetPlayState(int32_t* state, int64_t* heard, int64_t* oldest, int64_t* newest) override;
  int64_t GetHeardBytes() override;
  int32_t ReadSamples(int64_t position, uint32_t channel, uint32_t count,
                      int8_t* destination) override;
  bool GetTotalTime(double* seconds) override;
  bool GetStreamTime(double* seconds) override;
  bool GetUrl(TString* url) override;
  bool GetTitle(TString* title) override;
  bool GetAuthor(TString* author) override;

  // The C object plug-ins see; `info` first, so the plug-in's pointer leads back here.
  struct PluginFace {
    VisualHostInfo info;
    PluginHostInfo* owner;
  };

 private:
  bool PlayerString(const char16_t* name, TString* value);
  bool PlayerNumber(const char16_t* name, double* value);
  uint32_t CurrentChain();

  VisualEntry* entry_;
  RefPtr<MPlayer> player_;
  PluginFace plugin_;
};

}  // namespace vk2
