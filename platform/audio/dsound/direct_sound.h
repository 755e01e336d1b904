// The DirectSound stand-in's device object: lists the places sound can go, and creates sound
// buffers that play there.
#pragma once

#include <string>
#include <vector>

#include "platform/audio/dsound/ds_buffer.h"

namespace vk2 {

class DirectSound {
 public:
  // The devices in the back end's order, the default device first (id kDefaultSinkDevice).
  static bool Enumerate(std::vector<SinkDevice>& devices,
                        const PcmSinkFactory& factory = DefaultPcmSinkFactory());
  // A device object for `deviceId` (empty: the default). kDsErrNoDriver when the back end does
  // not list that device.
  static int32_t Create(const std::string& deviceId, const PcmSinkFactory& factory,
                        std::unique_ptr<DirectSound>& out);

  // Nothing is shared between programs here; accepted for the callers' sake.
  int32_t SetCooperativeLevel(uintptr_t window, uint32_t level);
  // A stopped buffer with silent contents, on this device.
  int32_t CreateSoundBuffer(const DsBufferDesc& desc, std::unique_ptr<DsBuffer>& out,
                            DsBufferOptions options = {});
  const std::string& DeviceId() const { return deviceId_; }

 private:
  DirectSound(std::string deviceId, PcmSinkFactory factory)
      : deviceId_(std::move(deviceId)), factory_(std::move(factory)) {}

  std::string deviceId_;
  PcmSinkFactory factory_;
};

}  // namespace vk2
