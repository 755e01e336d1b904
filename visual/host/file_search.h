// Finds plug-in files: every file under a folder (and its subfolders) whose name matches a
// wildcard pattern, as absolute paths in a stable order.
#pragma once

#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

// `pattern` is "<folder>/<name pattern>"; a pattern without a folder searches the current one.
std::vector<TString> FindFilesRecursive(const TString& pattern);

}  // namespace vk2
