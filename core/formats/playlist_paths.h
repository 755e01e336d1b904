// How playlist files name local files: entries relative to the playlist's folder become
// "file://" URLs when read, and local URLs can be written back relative to that folder. Shared
// by every playlist format.
//
// Paths on this system use '/'. Entries written elsewhere may use '\' between components; both
// separate components of a relative entry. An entry that begins with a separator, or whose
// second character is ':', is absolute and stands as it is.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2 {

// The playlist's folder: its file name up to and including the last '/'; empty for a stream
// without a name.
TString PlaylistFolder(const TString& playlistName);
// True when the URL begins with "file://" (any case).
bool IsFileUrl(const TString& url);
// True when the entry names a scheme ("://" anywhere in it).
bool HasScheme(const TString& entry);
// An entry path resolved against the folder: "." components are dropped, ".." removes the
// last folder component (never above the root), other components join with '/'.
TString ResolveEntryPath(const TString& folder, const TString& entry);
// A file entry as a URL: a scheme stays as it is, anything else is resolved and becomes
// "file://" + path.
TString EntryToUrl(const TString& folder, const TString& entry);
// A path made relative to the folder, through "../" steps as far as needed; a path that shares
// no folder but the root with it (or a folder that is empty) stays as it is. File names compare
// with case, as the file system does.
TString RelativePath(const TString& folder, const TString& path);
// What a writer stores for a URL: a local URL loses "file://" and, with `relative`, is made
// relative to the folder; any other URL stays.
TString UrlToEntry(const TString& folder, const TString& url, bool relative);

}  // namespace vk2
