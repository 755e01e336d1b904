#include "gui/module/prefs_panes.h"

#include <new>

#include "component/module/runtime_loader.h"
#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "gui/app/app_paths.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "interfaces/runtime/resource_file.h"

namespace vk2::gui {
namespace {

class PrefsPane final
    : public ComObject<PrefsPane, Face<MPrefsDialogProvider, kIID_MPrefsDialogProvider>> {
 public:
  explicit PrefsPane(const char16_t* name) : name_(name) {}

  bool GetPane(PrefsPaneRecord* pane) override {
    if (!pane) return false;
    pane->resourceName = kPaneDialogFile;
    pane->interfaceName = kPaneInterfaceName;
    pane->moduleName = name_;
    RefPtr<MResourceFile> archive =
        CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
    if (!archive || !archive->OpenFile(MakeModulePath(ProgramFolder(), u"vk2", u"rez").c_str())) {
      return false;
    }
    if (pane->archive) pane->archive->Release();
    pane->archive = static_cast<MUnknown*>(archive.Detach());
    return true;
  }

 private:
  ~PrefsPane() override = default;
  TString name_;
};

}  // namespace

int32_t CreatePrefsPane(const char16_t* name, const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer || iid != kIID_MPrefsDialogProvider) return kErrNoInterface;
  auto* pane = new (std::nothrow) PrefsPane(name);
  if (!pane) return kErrOutOfMemory;
  pane->AddRef();
  *out = static_cast<MPrefsDialogProvider*>(pane);
  return kOk;
}

}  // namespace vk2::gui
