#include "platform/audio/dsound/direct_sound.h"

namespace vk2 {

bool DirectSound::Enumerate(std::vector<SinkDevice>& devices, const PcmSinkFactory& factory) {
  devices.clear();
  std::unique_ptr<PcmSink> sink = factory ? factory() : nullptr;
  return sink && sink->Enumerate(devices);
}

int32_t DirectSound::Create(const std::string& deviceId, const PcmSinkFactory& factory,
                            std::unique_ptr<DirectSound>& out) {
  out.reset();
  const PcmSinkFactory chosen = factory ? factory : DefaultPcmSinkFactory();
  const std::string id = deviceId.empty() ? kDefaultSinkDevice : deviceId;
  if (id != kDefaultSinkDevice) {
    std::vector<SinkDevice> devices;
    if (!Enumerate(devices, chosen)) return kDsErrNoDriver;
    bool found = false;
    for (const SinkDevice& d : devices)
      found = found || d.id == id;
    if (!found) return kDsErrNoDriver;
  }
  out.reset(new DirectSound(id, chosen));
  return kDsOk;
}

int32_t DirectSound::SetCooperativeLevel(uintptr_t, uint32_t) {
  return kDsOk;
}

int32_t DirectSound::CreateSoundBuffer(const DsBufferDesc& desc, std::unique_ptr<DsBuffer>& out,
                                       DsBufferOptions options) {
  options.deviceId = deviceId_;
  return DsBuffer::Create(desc, factory_(), options, out);
}

}  // namespace vk2
