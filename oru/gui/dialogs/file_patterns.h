// File-name patterns of the dialogs' filters.
#pragma once

#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

// Splits "a;b; c" into its patterns, blanks dropped.
std::vector<TString> SplitPatterns(const TString& patterns);

// The pattern as a glob that ignores the case of ASCII letters ("*.mp3" -> "*.[mM][pP]3"), so
// that a filter shows SONG.MP3 as well as song.mp3.
NarrowString CaseBlindGlob(const TString& pattern);

}  // namespace vk2
