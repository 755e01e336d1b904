// The module vk2_visual: one class, "Visual handler", whose class object makes every object of
// the visualisation host by interface id. The handler itself is one per process.
#include <new>

#include "audio/common/audio_runtime.h"
#include "component/module/module_glue.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "visual/audio_tap.h"
#include "visual/fullscreen/runtime_fullscreen_platform.h"
#include "visual/host/host_global.h"
#include "visual/post_effect.h"

namespace vk2 {
namespace {

template <class Face, class T>
int32_t HandOut(RefPtr<T> object, void** out) {
  if (!object) return kErrOutOfMemory;
  *out = static_cast<Face*>(object.Detach());
  return kOk;
}

int32_t CreateVisualObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;
  if (iid == kIID_MVisualEndpoint || iid == kIID_MAudioModule) {
    RefPtr<VisualHostObject> host = TheVisualHost();
    if (!host) return kErrOutOfMemory;
    return HandOut<MVisualEndpoint>(
        AudioTap::Make(host->History(), RefPtr<MUnknown>(host->Identity())), out);
  }
  if (iid == kIID_MVisualHost) return HandOut<MVisualHost>(TheVisualHost(), out);
  if (iid == kIID_MVisualPostEffect)
    return HandOut<MVisualPostEffect>(VisualPostEffect::Make(), out);
  if (iid == kIID_MPrefsDialogProvider) {
    return HandOut<MPrefsDialogProvider>(MakePostEffectPaneProvider(), out);
  }
  if (iid == kIID_MVisualWindow) {
    RefPtr<MPreferenceStore> root =
        AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    return HandOut<MVisualWindow>(
        FullscreenService::Make(MakeRuntimeFullscreenPlatform(), root.Get()), out);
  }
  return kErrNoInterface;
}

const ModuleClass kClasses[] = {{kVisualHandlerClass, u"Visual handler", &CreateVisualObject}};
const ModuleCategoryMember kMembers[] = {
    {kCategoryVisuals, kVisualHandlerClass, u"Velkora1 Vis Effects"}};

void OnLastDetach() {
  ReleaseVisualHost();
}

}  // namespace

const ModuleDefinition kVisualModule{kClasses, kMembers, nullptr, &OnLastDetach};

}  // namespace vk2

VK2_MODULE_ENTRY_POINTS(vk2::kVisualModule)
