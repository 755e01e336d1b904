// What a path handed to the player is: an interface package, a visual plug-in, or anything
// else (audio files, folders, URLs, playlist files), loaded into a playlist.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "gui/packages/package_services.h"

namespace vk2::gui {

enum class PathKind : int32_t { kMissing = 0, kFile = 2, kFolder = 3 };
PathKind GetPathKind(const char16_t* path);

// A folder holding the index document, or a file with a package extension (any case): the
// package test of the interface packages.
bool IsInterfacePackage(const TString& path);
bool IsVisualPluginFile(const TString& path);

}  // namespace vk2::gui
