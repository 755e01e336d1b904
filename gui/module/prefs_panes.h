// The preference panes of the user interface: each hands the runtime's preferences dialog the
// program's resource archive, the dialog document in it and the pane's own name.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2::gui {

inline constexpr char16_t kPaneDialogFile[] = u"vk2dlgs.xml";
inline constexpr char16_t kPaneInterfaceName[] = u"ridurodoror/velkora2_prefs/1.0";

// A new pane named `name` as MPrefsDialogProvider; kErrNoInterface for any other id or when
// asked as a part.
int32_t CreatePrefsPane(const char16_t* name, const Guid& iid, void** out, MUnknown* outer);

template <const char16_t* kName>
int32_t CreateNamedPane(const Guid& iid, void** out, MUnknown* outer) {
  return CreatePrefsPane(kName, iid, out, outer);
}

}  // namespace vk2::gui
