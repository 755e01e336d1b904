#include "gui/settings_window/settings_pane.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"

namespace vk2::gui {

RefPtr<MPrefsDialogProvider> MakeRuntimePaneProvider(const Guid& classId) {
  return CreateRuntimeObject<MPrefsDialogProvider>(classId, kIID_MPrefsDialogProvider);
}

bool ShouldShowPane(const PreferenceNode* node, bool fade, uint32_t lastPane) {
  if (!fade) return node != nullptr;
  return node && node->number != lastPane;
}

bool LoadSettingsPane(const PreferenceNode& node, const PaneProviderMaker& make,
                      PrefsPaneRecord* pane) {
  if (!make || !pane) return false;
  RefPtr<MPrefsDialogProvider> provider = make(node.identifier);
  if (!provider) provider = make(kNoSettingsPane);
  if (!provider) return false;
  PrefsPaneRecord record;
  if (!provider->GetPane(&record) || record.resourceName.IsEmpty()) {
    if (record.archive) record.archive->Release();
    return false;
  }
  *pane = record;
  return true;
}

}  // namespace vk2::gui
