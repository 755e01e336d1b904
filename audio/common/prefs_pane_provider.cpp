#include "audio/common/prefs_pane_provider.h"

#include <new>

#include "audio/common/audio_runtime.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/prefs_dialog_registry.h"

namespace vk2 {
namespace {
constexpr char kPaneResource[] = "dlgs.xml";
}  // namespace

bool PrefsPaneProvider::GetPane(PrefsPaneRecord* pane) {
  if (!pane) return false;
  RefPtr<MPrefsDialogRegistry> archive =
      AudioCreate<MPrefsDialogRegistry>(kServiceClass, kIID_MPrefsDialogRegistry);
  if (!archive) return false;
  if (archive->LoadFromMemory(document_.data, document_.size, kPaneResource, 0) == 0) {
    return false;
  }
  if (pane->archive) pane->archive->Release();
  pane->archive = archive.Detach();
  pane->resourceName = u"dlgs.xml";
  pane->interfaceName = document_.interfaceName;
  pane->moduleName = moduleName_;
  return true;
}

int32_t CreatePrefsPaneProvider(const PaneDocument& document, const char16_t* moduleName,
                                const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!(iid == kIID_MPrefsDialogProvider)) return kErrNoInterface;
  auto* provider = new (std::nothrow) PrefsPaneProvider(document, moduleName);
  if (!provider) return kErrOutOfMemory;
  provider->AddRef();
  *out = static_cast<MPrefsDialogProvider*>(provider);
  return kOk;
}

}  // namespace vk2
