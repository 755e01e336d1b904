// The viewer's content: the window "VisViewerVisWindow" of the module's built-in interface,
// which lives in the resource file "vk2.rez" of the application's folder.
#pragma once

#include "foundation/text/tstring.h"
#include "gui/window_base/package_window_ref.h"

namespace vk2::gui {

inline constexpr char16_t kViewerResourceFile[] = u"vk2.rez";
inline constexpr char16_t kViewerPackage[] = u"ridurodoror/velkora2_prefs/1.0";
inline constexpr char16_t kViewerDocument[] = u"vk2dlgs.xml";
inline constexpr char16_t kViewerWindow[] = u"VisViewerVisWindow";
inline constexpr char16_t kViewerStyleElement[] = u"VK2_ViewerWindow";

// The built-in window; false when the resource file cannot be opened (the viewer stays an empty
// frame).
bool ViewerBuiltInWindow(const TString& folder, PackageWindowRef* out);

}  // namespace vk2::gui
