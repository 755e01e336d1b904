// Path, file and array routines of the user interface. Paths are joined with kPathSeparator;
// every splitter accepts both '/' and '\' as separators.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2::gui {

inline constexpr char16_t kPathSeparator = u'/';

constexpr bool IsPathSeparator(char16_t c) {
  return c == u'/' || c == u'\\';
}

// The part before the last separator that is not the first character. Without one: "." when the
// path does not begin with a separator, else empty (the root separator is not kept).
TString PathDirectory(const char16_t* path);
NarrowString PathDirectoryNarrow(const char* path);
// The part after the last separator; the whole path when it has none.
TString PathFileName(const char16_t* path);
NarrowString PathFileNameNarrow(const char* path);

// `folder` + separator + `name`, with no doubled separator when the folder already ends in one.
TString JoinPath(const TString& folder, const char16_t* name);

bool FileExists(const char16_t* path);
bool IsFolder(const char16_t* path);

// A file's last-write time in local calendar terms.
struct FileTimeRecord {
  int32_t second = 0;
  int32_t minute = 0;
  int32_t hour = 0;
  int32_t day = 0;    // of the month, from 1
  int32_t month = 0;  // from 0
  int32_t year = 0;   // full year
};
bool GetFileWriteTime(const char16_t* path, FileTimeRecord* out);
// a's field minus b's at the first difference (year, month, day, hour, minute, second); 0 if equal.
int32_t CompareTimeRecords(const FileTimeRecord& a, const FileTimeRecord& b);

// Options of FindFiles.
enum FindFilesOption : uint8_t {
  kFindKeepList = 1,    // keep what the list already holds
  kFindRecursive = 2,   // descend into every subfolder
  kFindAddFolders = 4,  // also add folders whose names match
  kFindNoFiles = 8,     // add no files
};
// Lists the folder of `patternPath` and adds every entry whose name matches its last component
// (a wildcard pattern, case-sensitive). Returns the number of paths added, or a negative count
// from a subfolder that failed.
int32_t FindFiles(TArray<TString>* out, const char16_t* patternPath, uint8_t options);
int32_t FindFilesNarrow(TArray<NarrowString>* out, const char* patternPath, uint8_t options);

// Entries sorted by `key`, a signed number; quicksort in place.
struct SortEntry {
  uintptr_t first = 0;
  uintptr_t second = 0;
  int32_t key = 0;
  uint32_t fourth = 0;
};
void SortEntries(TArray<SortEntry>* entries, bool descending);

// Wide string and narrow (UTF-8) text.
TString ConcatNarrow(const TString& text, const char* narrow);
void AppendNarrow(TString* text, const char* narrow);

}  // namespace vk2::gui
