#include "audio/outputs/common/device_endpoint_factory.h"

#include "audio/common/audio_runtime.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/ids.h"

namespace vk2 {

int32_t CreateDeviceEndpoint(const DeviceLibrary& library, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (iid == kIID_MPrefsDialogProvider) {
    return CreatePrefsPaneProvider(library.pane, library.moduleName, iid, out);
  }
  if (!(iid == kIID_MAudioModule) && !(iid == library.ownInterface)) return kErrNoInterface;
  void* raw = nullptr;
  const int32_t r = AudioCreateInstance(kGenericOutputClass, kIID_AudioEndpoint, &raw);
  if (r != 0 || !raw) return r != 0 ? r : kErrFailed;
  RefPtr<AudioEndpoint> endpoint = RefPtr<AudioEndpoint>::Adopt(static_cast<AudioEndpoint*>(raw));
  MOutputDevice* device = library.makeDevice ? library.makeDevice() : nullptr;
  if (!device) return kErrOutOfMemory;
  const int32_t set = endpoint->SetOutputDevice(device);
  device->Release();  // the endpoint holds it now
  if (set < 0) return set;
  *out = static_cast<MAudioModule*>(endpoint.Detach());
  return kOk;
}

}  // namespace vk2
