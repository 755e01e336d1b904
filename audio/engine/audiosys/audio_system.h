// The audio system object: the class object of kAudioSystemClass and the MAudioSystem face.
#pragma once

#include <cstdint>

#include "audio/engine/audiosys/packet_pool.h"
#include "component/object/com_object.h"
#include "component/object/second_identity.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/runtime/class_factory.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/critical_section.h"

namespace vk2 {

// The class-object face answers no interface of its own.
class AudioSystem final : public ComObject<AudioSystem, SilentFace<MClassFactory>> {
 public:
  // A new system with one reference; null when memory runs out.
  static AudioSystem* Create();

  int32_t CreateInstance(const Guid& iid, void** out, MUnknown* outer) override;

  MAudioSystem* System() { return &system_; }
  PacketPool* Pool() { return &pool_; }

 private:
  // A second identity of the system, with answers of its own (the system and its pool) where
  // the class object answers none; its count is the system's.
  class SystemFace final : public SecondIdentity<MAudioSystem, AudioSystem> {
   public:
    using SecondIdentity::SecondIdentity;
    MMediaChain* CreateChain() override;
    int32_t NextDecoder(MAudioModule** module, Guid* classId) override;
    int32_t NextOutputDevice(MAudioModule** module, Guid* classId) override;
    int32_t NextStreamReader(MStreamReader** reader, Guid* classId) override;
    int32_t NextDspFilter(MAudioModule** module, Guid* classId) override;
    int32_t SetDefaultEndpoint(Guid classId) override;
    int32_t GetDefaultEndpoint(Guid* classId) override;
    int32_t CreateDefaultEndpoint(MAudioModule** endpoint) override;

   private:
    MUnknown* Find(const Guid& iid) override;
  };

  AudioSystem();
  ~AudioSystem() override;

  PacketPool pool_{this};
  SystemFace system_{this};
  CriticalSection lock_;
  RefPtr<MPreferenceStore> prefs_;  // section "AudioSystem"
  Guid defaultEndpoint_;            // guarded by lock_
};

}  // namespace vk2
