// Paths the application builds from its executable folder.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2::gui {

// `path` resolved against `base`: an absolute path (a leading separator or a drive letter) is
// returned as it is; "." is skipped and ".." removes the last component, never going below an
// empty result.
TString ResolvePath(const TString& base, const TString& path);
// folder + separator + name, and "." + extension when there is one.
TString MakeModulePath(const TString& folder, const char16_t* name, const char16_t* extension);
// The folder of the running program (from /proc/self/exe).
TString ProgramFolder();
// The current directory, "." when it cannot be read.
TString CurrentDirectory();

}  // namespace vk2::gui
