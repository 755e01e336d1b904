#include "gui/paths/path_routines.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <string_view>

namespace vk2::gui {
namespace {

template <class CharT>
constexpr bool IsSeparatorChar(CharT c) {
  return c == CharT('/') || c == CharT('\\');
}

template <class CharT>
int32_t LastSeparator(std::basic_string_view<CharT> path) {
  for (size_t i = path.size(); i-- > 0;) {
    if (IsSeparatorChar(path[i])) return static_cast<int32_t>(i);
  }
  return -1;
}

template <class CharT>
BasicTString<CharT> DirectoryOf(const CharT* path) {
  if (!path) return {};
  std::basic_string_view<CharT> view(path);
  int32_t cut = LastSeparator(view);
  if (cut > 0) return BasicTString<CharT>(view.substr(0, static_cast<size_t>(cut)));
  if (!view.empty() && IsSeparatorChar(view[0])) return {};
  const CharT dot[] = {CharT('.'), CharT(0)};
  return BasicTString<CharT>(dot);
}

template <class CharT>
BasicTString<CharT> FileNameOf(const CharT* path) {
  if (!path) return {};
  std::basic_string_view<CharT> view(path);
  int32_t cut = LastSeparator(view);
  return BasicTString<CharT>(view.substr(static_cast<size_t>(cut + 1)));
}

bool StatPath(const char16_t* path, struct stat* st) {
  if (!path || !*path) return false;
  return ::stat(NarrowFromWide(path).c_str(), st) == 0;
}

template <class CharT>
int CompareMatch(const CharT* text, const CharT* pattern);

template <>
int CompareMatch<char16_t>(const char16_t* text, const char16_t* pattern) {
  return WildcardCompare(text, pattern, true);
}
template <>
int CompareMatch<char>(const char* text, const char* pattern) {
  return WildcardCompare(WideFromNarrow(text).c_str(), WideFromNarrow(pattern).c_str(), true);
}

template <class CharT>
BasicTString<CharT> JoinAny(const BasicTString<CharT>& folder, const CharT* name) {
  BasicTString<CharT> out = folder;
  uint32_t n = folder.Length();
  if (n == 0 || !IsSeparatorChar(folder[n - 1])) out += CharT(kPathSeparator);
  out += name;
  return out;
}

template <class CharT>
int32_t FindFilesAny(TArray<BasicTString<CharT>>* out, const CharT* patternPath, uint8_t options) {
  if (!(options & kFindKeepList)) out->Clear();
  if (!patternPath) return 0;
  std::basic_string_view<CharT> view(patternPath);
  int32_t cut = LastSeparator(view);
  BasicTString<CharT> folder;
  BasicTString<CharT> pattern;
  if (cut >= 0) {
    folder = BasicTString<CharT>(view.substr(0, static_cast<size_t>(cut == 0 ? 1 : cut)));
    pattern = BasicTString<CharT>(view.substr(static_cast<size_t>(cut + 1)));
  } else {
    const CharT dot[] = {CharT('.'), CharT(0)};
    folder = dot;
    pattern = BasicTString<CharT>(view);
  }
  NarrowString narrowFolder;
  if constexpr (sizeof(CharT) == 1) {
    narrowFolder = folder;
  } else {
    narrowFolder = NarrowFromWide(folder.c_str());
  }
  DIR* dir = ::opendir(narrowFolder.c_str());
  if (!dir) return 0;
  int32_t added = 0;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    BasicTString<CharT> wideName;
    if constexpr (sizeof(CharT) == 1) {
      wideName = entry->d_name;
    } else {
      wideName = WideFromNarrow(entry->d_name);
    }
    BasicTString<CharT> full = JoinAny(folder, wideName.c_str());
    NarrowString fullNarrow;
    if constexpr (sizeof(CharT) == 1) {
      fullNarrow = full;
    } else {
      fullNarrow = NarrowFromWide(full.c_str());
    }
    struct stat st {};
    bool isFolder = ::stat(fullNarrow.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    bool matches = CompareMatch(wideName.c_str(), pattern.c_str()) == 0;
    if (isFolder) {
      if (matches && (options & kFindAddFolders)) {
        out->Append(full);
        ++added;
      }
      if (options & kFindRecursive) {
        BasicTString<CharT> sub = JoinAny(full, pattern.c_str());
        int32_t found =
            FindFilesAny(out, sub.c_str(), static_cast<uint8_t>(options | kFindKeepList));
        if (found < 0) {
          ::closedir(dir);
          return found;
        }
        added += found;
      }
    } else if (matches && !(options & kFindNoFiles)) {
      out->Append(full);
      ++added;
    }
  }
  ::closedir(dir);
  return added;
}

void QuickSort(SortEntry* entries, int32_t low, int32_t high, bool descending) {
  while (low < high) {
    int32_t pivot = entries[low + (high - low) / 2].key;
    int32_t i = low;
    int32_t j = high;
    while (i <= j) {
      if (descending) {
        while (entries[i].key > pivot)
          ++i;
        while (entries[j].key < pivot)
          --j;
      } else {
        while (entries[i].key < pivot)
          ++i;
        while (entries[j].key > pivot)
          --j;
      }
      if (i <= j) std::swap(entries[i++], entries[j--]);
    }
    // Recurse into the smaller side so the depth stays logarithmic.
    if (j - low < high - i) {
      QuickSort(entries, low, j, descending);
      low = i;
    } else {
      QuickSort(entries, i, high, descending);
      high = j;
    }
  }
}

}  // namespace

TString PathDirectory(const char16_t* path) {
  return DirectoryOf(path);
}
NarrowString PathDirectoryNarrow(const char* path) {
  return DirectoryOf(path);
}
TString PathFileName(const char16_t* path) {
  return FileNameOf(path);
}
NarrowString PathFileNameNarrow(const char* path) {
  return FileNameOf(path);
}

TString JoinPath(const TString& folder, const char16_t* name) {
  return JoinAny(folder, name);
}

bool FileExists(const char16_t* path) {
  struct stat st {};
  return StatPath(path, &st);
}

bool IsFolder(const char16_t* path) {
  struct stat st {};
  return StatPath(path, &st) && S_ISDIR(st.st_mode);
}

bool GetFileWriteTime(const char16_t* path, FileTimeRecord* out) {
  struct stat st {};
  if (!StatPath(path, &st)) return false;
  std::tm parts{};
  time_t when = st.st_mtime;
  if (!::localtime_r(&when, &parts)) return false;
  out->second = parts.tm_sec;
  out->minute = parts.tm_min;
  out->hour = parts.tm_hour;
  out->day = parts.tm_mday;
  out->month = parts.tm_mon;
  out->year = parts.tm_year + 1900;
  return true;
}

int32_t CompareTimeRecords(const FileTimeRecord& a, const FileTimeRecord& b) {
  const int32_t FileTimeRecord::*order[] = {&FileTimeRecord::year,   &FileTimeRecord::month,
                                            &FileTimeRecord::day,    &FileTimeRecord::hour,
                                            &FileTimeRecord::minute, &FileTimeRecord::second};
  for (auto field : order) {
    if (a.*field != b.*field) return a.*field - b.*field;
  }
  return 0;
}

int32_t FindFiles(TArray<TString>* out, const char16_t* patternPath, uint8_t options) {
  return FindFilesAny(out, patternPath, options);
}

int32_t FindFilesNarrow(TArray<NarrowString>* out, const char* patternPath, uint8_t options) {
  return FindFilesAny(out, patternPath, options);
}

void SortEntries(TArray<SortEntry>* entries, bool descending) {
  if (entries->Count() < 2) return;
  QuickSort(entries->Data(), 0, static_cast<int32_t>(entries->Count()) - 1, descending);
}

TString ConcatNarrow(const TString& text, const char* narrow) {
  TString out = text;
  AppendNarrow(&out, narrow);
  return out;
}

void AppendNarrow(TString* text, const char* narrow) {
  if (narrow) *text += WideFromNarrow(narrow);
}

}  // namespace vk2::gui
