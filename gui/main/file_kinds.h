// What a path handed to the player is: an interface package, a visual plug-in, or anything
// else (audio files, folders, URLs, playlist files), loaded into a playlist.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2::gui {

enum class PathKind : int32_t { kMissing = 0, kFile = 2, kFolder = 3 };
PathKind GetPathKind(const char16_t* path);

// File extensions of interface packages, without the dot; the package scan lists the same.
inline constexpr const char16_t* kPackageExtensions[] = {u"package",          u"daf", u"vif",
                                                         u"velkorainterface", u"zip", u"vgf"};
// The name of the document that makes a folder an interface package.
inline constexpr char16_t kPackageIndexName[] = u"index.mml";

// A folder holding the index document, or a file with a package extension (any case).
bool IsInterfacePackage(const TString& path);
bool HasPackageExtension(const TString& path);
bool IsVisualPluginFile(const TString& path);

}  // namespace vk2::gui
