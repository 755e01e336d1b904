// The desktop side of the program's file associations: its desktop entry
// ($XDG_DATA_HOME/applications/velkora2.desktop) and its MIME defaults in
// $XDG_CONFIG_HOME/mimeapps.list ("[Default Applications]").
#pragma once

#include <string>

namespace vk2 {

inline constexpr char kDesktopEntryName[] = "velkora2.desktop";

// Writes the desktop entry that opens files with the program.
bool WriteDesktopEntry(const std::string& programPath);
// The desktop's current default for the MIME type (empty when none), unless it is the program.
std::string DesktopDefaultFor(const std::string& mimeType);
// Makes the program the type's default, or hands the type back to `previous` (removes the
// default when `previous` is empty) while the program is still its default.
bool SetDesktopDefault(const std::string& mimeType, bool registered, const std::string& previous);

}  // namespace vk2
