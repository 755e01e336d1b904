// The chain module the media core puts before every playback endpoint: it passes each packet
// on unchanged and, while the chain is cued or playing, copies the audio into the history,
// keeping about a second plus the output buffer.
#pragma once

#include <cstdint>

#include "audio/common/media_errors.h"
#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/visual/visual_endpoint.h"
#include "interfaces/visual/visual_host.h"
#include "platform/critical_section.h"
#include "visual/pcm_to_int8.h"

namespace vk2 {

class AudioTap final
    : public ComObject<AudioTap, Face<MVisualEndpoint, kIID_MVisualEndpoint, kIID_MAudioModule>> {
 public:
  // `owner` keeps the history's owner (the handler) alive as long as the tap.
  static RefPtr<AudioTap> Make(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner);

  MVisualEndpoint* SetKey(uint32_t key) override;
  int32_t HasInput() override { return 1; }
  int32_t HasOutput() override { return 1; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override;
  int32_t GetInput(AudioModuleInput** input, int32_t index) override;
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) override;
  int32_t GetOutput(AudioModuleOutput** output, int32_t index) override;
  int32_t SetChain(MMediaChain* chain) override;
  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t mode) override;
  int32_t Seek(double, uint32_t, uint32_t) override { return 0; }

 private:
  friend class ComObject<AudioTap, Face<MVisualEndpoint, kIID_MVisualEndpoint, kIID_MAudioModule>>;

  class Input final : public AudioModuleInput {
   public:
    explicit Input(AudioTap* tap) : tap_(tap) {}
    int32_t GetName(TString* name) override;
    int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) override;
    int32_t Connect(AudioModuleOutput* upstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    AudioTap* tap_;
  };

  class Output final : public AudioModuleOutput {
   public:
    explicit Output(AudioTap* tap) : tap_(tap) {}
    int32_t GetName(TString* name) override;
    int32_t GetPacket(AudioPacket** packet) override;
    int32_t GetFormats(AudioFormatList* formats) override;
    int32_t SetFormat(AudioFormat* format) override;
    int32_t SetDestination(AudioModuleInput* downstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    AudioTap* tap_;
  };

  AudioTap(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner);
  ~AudioTap() override = default;

  AudioModuleOutput* Upstream();
  int32_t GiveOwner(MAudioModule** owner);
  // Copies a packet pulled while cued or playing into the history.
  int32_t Store(AudioPacket* packet);

  MediaErrorRegistration errors_;
  RefPtr<MUnknown> owner_;
  RefPtr<MVisualAudioHistory> history_;
  Input input_{this};
  Output output_{this};
  CriticalSection lock_;  // everything below
  MMediaChain* chain_ = nullptr;
  AudioModuleOutput* upstream_ = nullptr;
  AudioModuleInput* downstream_ = nullptr;
  uint32_t key_ = 0;
  int32_t state_ = 0;
  bool haveFormat_ = false;
  HistoryFormat format_;
  bool formatSigned_ = false;
};

}  // namespace vk2
