// A named window of an interface package on disk, as the module's own windows open one inside
// themselves (the viewer's built-in window, the online content).
#pragma once

#include "foundation/text/tstring.h"

namespace vk2::gui {

struct PackageWindowRef {
  TString path;        // the package file
  TString uniqueName;  // the interface in it
  TString document;
  TString window;
};

// `name` in `folder`, with one separator between them.
TString PathInFolder(const TString& folder, const char16_t* name);
// True when `path` is a regular file that can be opened for reading.
bool IsReadableFile(const TString& path);

}  // namespace vk2::gui
