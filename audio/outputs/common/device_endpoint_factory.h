// What a device library's class factory makes: for MAudioModule or the library's own id, a
// generic endpoint (made through the runtime) that owns a new device; for the preference-pane
// id, the library's pane provider.
#pragma once

#include <cstdint>
#include <functional>

#include "audio/common/prefs_pane_provider.h"
#include "foundation/util/guid.h"
#include "interfaces/audio/output_device.h"

namespace vk2 {

struct DeviceLibrary {
  Guid ownInterface;
  const char16_t* moduleName;
  PaneDocument pane;
  // A new device with one reference, or null when it cannot be made.
  std::function<MOutputDevice*()> makeDevice;
};

int32_t CreateDeviceEndpoint(const DeviceLibrary& library, const Guid& iid, void** out);

}  // namespace vk2
