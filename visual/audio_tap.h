// The chain module the media core puts before every playback endpoint: it passes each packet
// on unchanged and, while the chain is cued or playing, copies the audio into the history,
// keeping about a second plus the output buffer.
#pragma once

#include <cstdint>

#include "audio/common/framed_module.h"
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
    : public FramedModule<AudioTap,
                          Face<MVisualEndpoint, kIID_MVisualEndpoint, kIID_MAudioModule>> {
 public:
  // `owner` keeps the history's owner (the handler) alive as long as the tap.
  static RefPtr<AudioTap> Make(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner);

  MVisualEndpoint* SetKey(uint32_t key) override;
  int32_t Prepare(int32_t mode) override;

 private:
  AudioTap(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner);
  ~AudioTap() override = default;

  int32_t PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) override;
  void StateChanged(int32_t from, int32_t to) override;
  // Copies a packet pulled while cued or playing into the history.
  int32_t Store(AudioPacket* packet);

  MediaErrorRegistration errors_;
  RefPtr<MUnknown> owner_;
  RefPtr<MVisualAudioHistory> history_;
  CriticalSection lock_;  // everything below
  uint32_t key_ = 0;
  bool haveFormat_ = false;
  HistoryFormat format_;
  bool formatSigned_ = false;
};

}  // namespace vk2
