// The waveOut output device library vk2_audio_waveout.
#include <cstddef>
#include <new>

#include "audio/outputs/common/device_endpoint_factory.h"
#include "audio/outputs/waveout/wave_out_output.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

extern const unsigned char kWaveOutPaneDocument[];
extern const size_t kWaveOutPaneDocumentSize;

namespace {

int32_t CreateWaveOutEndpoint(const Guid& iid, void** out, MUnknown* outer) {
  if (outer) {
    if (out) *out = nullptr;
    return kErrNoInterface;
  }
  DeviceLibrary library;
  library.ownInterface = kIID_WaveOutEndpointFactory;
  library.moduleName = u"waveOutOutput";
  library.pane = {kWaveOutPaneDocument, kWaveOutPaneDocumentSize,
                  u"ridurodoror/velkora2_waveoutprefs/1.0"};
  library.makeDevice = []() -> MOutputDevice* {
    auto* device = new (std::nothrow) WaveOutOutput();
    if (device) device->AddRef();
    return device;
  };
  return CreateDeviceEndpoint(library, iid, out);
}

const ModuleClass kClasses[] = {{kWaveOutOutputClass, u"WaveOut Output", &CreateWaveOutEndpoint}};
const ModuleCategoryMember kMembers[] = {
    {kCategoryOutputDevices, kWaveOutOutputClass, u"WaveOut Output"}};
const ModuleDefinition kModule{kClasses, kMembers};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
