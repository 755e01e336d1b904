#include "gui/viewer_window/viewer_content.h"

namespace vk2::gui {

bool ViewerBuiltInWindow(const TString& folder, PackageWindowRef* out) {
  const TString path = PathInFolder(folder, kViewerResourceFile);
  if (!out || !IsReadableFile(path)) return false;
  *out = PackageWindowRef{path, kViewerPackage, kViewerDocument, kViewerWindow};
  return true;
}

}  // namespace vk2::gui
