// Filter lists for the file dialogs: file types grouped by description under an "all files"
// entry, one filter per playlist format for saving, and the extension a chosen filter adds.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2::gui {

struct FileType {
  TString pattern;      // "*.m3u"
  TString description;  // "M3U Playlist Files"
  int32_t order = 0;
};

// Display text and pattern for each filter, in pairs, as the dialogs take them: first the
// entry for every group's first pattern (`allFormat` with "%s" for the joined patterns), then one
// entry per description (compared without regard to case) with all its patterns.
std::vector<TString> GroupFilters(std::vector<FileType> types, const char16_t* allFormat);

// One filter per type, "description (pattern)", in the order given.
std::vector<TString> SaveFilters(const std::vector<FileType>& types);

// `path` with the chosen pattern's extension (".pls" of "*.pls") appended when the path holds
// no '.' at all and the filter index names a pattern of the form "*.ext"; else unchanged.
TString CompleteExtension(const TString& path, const std::vector<TString>& filters,
                          int32_t filterIndex);

}  // namespace vk2::gui
