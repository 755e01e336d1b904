// Names of archive members: '/'-separated, relative, and never leaving the archive.
#pragma once

#include <string>
#include <string_view>

namespace vk2::oru {

// Normalises `name` ('\\' becomes '/', "." and empty components go). False for an absolute
// name, a drive-letter name, a ".." component, a NUL or nothing left.
bool NormalizeMemberName(std::string_view name, std::string* out);

}  // namespace vk2::oru
