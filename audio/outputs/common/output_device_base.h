// What both output devices share: the reference count and interface lookup, the common
// properties (identity, the device list and its names, the selected device and its setting),
// the choice of the sink device to open, and the open format with its getters.
//
// The selected device is kept as its name. A stored name that no longer matches a device is
// kept as the setting (it may come back), and the device opens the default device meanwhile,
// with a line on the console.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/common/device_names.h"
#include "audio/common/media_errors.h"
#include "audio/common/property_table.h"
#include "component/object/com_object.h"
#include "interfaces/audio/output_device.h"
#include "interfaces/ids.h"
#include "platform/audio/sink/pcm_format.h"
#include "platform/audio/sink/pcm_sink.h"
#include "platform/critical_section.h"
#include "platform/event.h"

namespace vk2 {

// Answers kIID_AudioEndpoint with the device itself, every other id -15.
class OutputDeviceBase
    : public ComObject<OutputDeviceBase, Face<MOutputDevice, kIID_AudioEndpoint>> {
 public:
  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetInteger(const char16_t* name, int32_t* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t Describe(PropertyDescriptionList* list) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetInteger(const char16_t* name, int32_t value) override;
  int32_t SetNumber(const char16_t* name, double value) override;
  int32_t LoadSettings(MPreferenceStore* section) override;
  int32_t SaveSettings(MPreferenceStore* section) override;
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return 0; }

  // (sample rate + 1) x bits; the same for every format type.
  uint32_t FormatScore(AudioFormat* format) override;
  // The open format, read under the device lock (zeros while closed).
  int32_t FormatDiffers(AudioFormat* format) override;
  uint32_t Channels() override;
  uint32_t SampleRate() override;
  uint32_t BytesPerSecond() override;

  const std::vector<DeviceName>& Devices() const { return devices_; }

 protected:
  // `devices`: the platform's devices in its order (the default first), from which the names
  // are made once.
  OutputDeviceBase(const char16_t* moduleName, const char16_t* description,
                   const std::vector<SinkDevice>& devices);
  ~OutputDeviceBase() override;

  // The device to open now: the sink device id of the selected device, found again in
  // `current` (the platform's list now) by its description and duplicate number; the default
  // device (with a console line) when the selected one is gone. False when `current` is empty.
  bool ResolveSelectedDevice(const std::vector<SinkDevice>& current, std::string* sinkId,
                             size_t* index);
  // Extra settings of a device, loaded and saved after "curoutputdevice".
  virtual void LoadDeviceSettings(MPreferenceStore*) {}
  virtual void SaveDeviceSettings(MPreferenceStore*) {}
  // A line on the runtime's console, when there is one.
  static void ConsoleLine(int32_t level, const TString& text);
  // One sleep of a drain that waits for `pendingBytes` to be heard: half the time they take to
  // play (so the end is seen soon after it comes), at least 1 ms and at most kDrainStepMaxMs.
  // True when `wake` (which may be null) was set meanwhile.
  bool DrainSleep(Event* wake, uint64_t pendingBytes);
  static constexpr uint32_t kDrainStepMaxMs = 50;

  MediaErrorRegistration errors_;  // the runtime's error registry, for the device's own table
  PropertyTable table_;
  // Text of "outputdevice<n>" when no device was found; empty: none.
  TString noDevicesName_;
  // The device, its buffers and the open format; each device states where it falls in its
  // lock order.
  CriticalSection deviceLock_;
  PcmFormat open_;  // under deviceLock_

 private:
  int32_t SelectByName(const char16_t* name);

  std::vector<DeviceName> devices_;
  std::vector<std::string> sinkIds_;
  CriticalSection selectionLock_;
  TString selected_;  // the setting: a device name, possibly of a device that is gone
};

}  // namespace vk2
