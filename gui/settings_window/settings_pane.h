// Which pane the settings window shows, and the pane's dialog: asked of the node's class as a
// preference dialog provider, or of the class that says there is nothing to set.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "gui/prefs_tree/preference_tree.h"
#include "interfaces/prefs_dialog_provider.h"

namespace vk2::gui {

// Makes a class as a preference dialog provider, or null.
using PaneProviderMaker = std::function<RefPtr<MPrefsDialogProvider>(const Guid& classId)>;

// The runtime's classes.
RefPtr<MPrefsDialogProvider> MakeRuntimePaneProvider(const Guid& classId);

// A choice from the menu (`fade`) of the pane already shown, or of nothing, changes nothing;
// the pane shown at opening is always built.
bool ShouldShowPane(const PreferenceNode* node, bool fade, uint32_t lastPane);

// The dialog of `node`'s pane; false when neither its class nor the no-settings class gives
// one (the pane shown stays).
bool LoadSettingsPane(const PreferenceNode& node, const PaneProviderMaker& make,
                      PrefsPaneRecord* pane);

}  // namespace vk2::gui
