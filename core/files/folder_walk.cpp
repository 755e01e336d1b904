#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/files/folder_walk.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

struct Walk {
  TArray<TString>* out;
  uint32_t flags;
  TString pattern;  // last component
  std::set<std::pair<dev_t, ino_t>> visited;
  int32_t listed = 0;
};

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Lists one folder (and, when asked, its subfolders). False when the folder cannot be read.
bool WalkOne(Walk& walk, const std::string& folder) {
  struct stat self;
  if (stat(folder.empty() ? "." : folder.c_str(), &self) != 0) return false;
  if (!walk.visited.insert({self.st_dev, self.st_ino}).second) return true;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  std::vector<std::pair<std::string, bool>> entries;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string full = Join(folder, name);
    struct stat st;
    const bool isFolder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.emplace_back(name, isFolder);
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end());
  std::vector<std::string> subfolders;
  for (const auto& [name, isFolder] : entries) {
    const std::string full = Join(folder, name);
    if (isFolder) subfolders.push_back(full);
    const bool wanted =
        isFolder ? (walk.flags & kWalkFolders) != 0 : (walk.flags & kWalkNoFiles) == 0;
    if (!wanted) continue;
    const TString wide = Utf16(name);
    if (WildcardCompare(wide.c_str(), walk.pattern.c_str(), false) != 0) continue;
    walk.out->Append(Utf16(full));
    ++walk.listed;
  }
  if (walk.flags & kWalkSubfolders) {
    for (const std::string& sub : subfolders)
      WalkOne(walk, sub);
  }
  return true;
}

}  // namespace

int32_t PathKind(const TString& path) {
  if (path.IsEmpty()) return kPathAbsent;
  struct stat st;
  if (stat(Utf8(path).c_str(), &st) != 0) return kPathAbsent;
  return S_ISDIR(st.st_mode) ? kPathFolder : kPathFile;
}

int32_t WalkFolder(TArray<TString>* out, uint32_t flags, const TString& pattern) {
  if (!out) return kErrMissingArg;
  if (!(flags & kWalkAppend)) out->Clear();
  std::string text = Utf8(pattern).c_str();
  const size_t slash = text.rfind('/');
  Walk walk{out, flags, TString(), {}, 0};
  std::string folder;
  if (slash == std::string::npos) {
    walk.pattern = pattern;
  } else {
    folder = slash == 0 ? "/" : text.substr(0, slash);
    walk.pattern = Utf16(text.substr(slash + 1));
  }
  if (walk.pattern.IsEmpty()) walk.pattern = u"*";
  if (!WalkOne(walk, folder)) return kErrNotFound;
  return walk.listed;
}

}  // namespace vk2
