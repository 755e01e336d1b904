// The registration tool's command line: tokens, path resolution and module file patterns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk2::enlist {

// Splits one argument with the foundation's list tokenizer: commas and tabs separate, blanks
// and tabs are trimmed from each token, NUL and LF end the text, a backslash keeps itself and
// the next character, double quotes quote. Blanks do not separate: the shell has already split
// the command line, so a blank inside an argument belongs to a path.
std::vector<std::string> SplitArgument(std::string_view text);
std::vector<std::string> SplitArguments(int argc, const char* const* argv);

// `path` taken against `base`: a path beginning with '/' or '\\', or with ':' as its second
// character, as it stands; otherwise "." components are dropped, ".." removes the last
// component (never below an empty result) and components are joined with '/'.
std::string ResolvePath(std::string_view base, std::string_view path);

// The files matching `pattern` (folder part up to the last '/' or '\\', then a name with '*' and
// '?', matched without regard to case), sorted by name; folders and "."/".." skipped. Empty
// when the folder cannot be listed.
std::vector<std::string> ExpandModuleWildcard(std::string_view pattern);

}  // namespace vk2::enlist
