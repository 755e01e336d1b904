// The DirectSound output device library vk2_audio_dsound.
#include <cstddef>
#include <new>

#include "audio/outputs/common/device_endpoint_factory.h"
#include "audio/outputs/dsound/direct_sound_output.h"
#include "audio/outputs/dsound/ds_command_thread.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

extern const unsigned char kDirectSoundPaneDocument[];
extern const size_t kDirectSoundPaneDocumentSize;

namespace {

int32_t CreateDirectSoundEndpoint(const Guid& iid, void** out, MUnknown* outer) {
  if (outer) {
    if (out) *out = nullptr;
    return kErrNoInterface;
  }
  DeviceLibrary library;
  library.ownInterface = kIID_MDirectSoundOutput;
  library.moduleName = u"DirectSoundOutput";
  library.pane = {kDirectSoundPaneDocument, kDirectSoundPaneDocumentSize,
                  u"ridurodoror/velkora2_directsoundprefs/1.0"};
  library.makeDevice = []() -> MOutputDevice* {
    auto* device = new (std::nothrow) DirectSoundOutput();
    if (device) device->AddRef();
    return device;
  };
  return CreateDeviceEndpoint(library, iid, out);
}

// The command thread ends last, after every device of the library has gone.
void StopCommandThread() {
  DsCommandThread::Instance().Stop();
}

const ModuleClass kClasses[] = {
    {kDirectSoundOutputClass, u"DirectSound Output", &CreateDirectSoundEndpoint}};
const ModuleCategoryMember kMembers[] = {
    {kCategoryOutputDevices, kDirectSoundOutputClass, u"DirectSound Output"}};
const ModuleDefinition kModule{kClasses, kMembers, nullptr, &StopCommandThread};

}  // namespace
}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kModule)
