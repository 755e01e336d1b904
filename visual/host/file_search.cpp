#include "visual/host/file_search.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vk2 {
namespace {

namespace fs = std::filesystem;

void Search(const fs::path& folder, const TString& namePattern, std::vector<TString>* found,
            int depth) {
  // Symbolic links can make loops: the depth bounds the walk.
  constexpr int kMaxDepth = 32;
  if (depth > kMaxDepth) return;
  std::error_code error;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(*it);
  std::sort(entries.begin(), entries.end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) {
              return a.path() < b.path();
            });
  for (const fs::directory_entry& entry : entries) {
    std::error_code typeError;
    if (entry.is_directory(typeError)) continue;
    const TString name = Utf16(entry.path().filename().string());
    if (WildcardCompare(name.c_str(), namePattern.c_str(), false) == 0) {
      found->push_back(Utf16(entry.path().string()));
    }
  }
  for (const fs::directory_entry& entry : entries) {
    std::error_code typeError;
    if (entry.is_directory(typeError)) Search(entry.path(), namePattern, found, depth + 1);
  }
}

}  // namespace

std::vector<TString> FindFilesRecursive(const TString& pattern) {
  std::vector<TString> found;
  const fs::path full(Utf8(pattern).c_str());
  std::error_code error;
  fs::path folder = full.has_parent_path() ? full.parent_path() : fs::current_path(error);
  if (error) return found;
  folder = fs::absolute(folder, error);
  if (error) return found;
  Search(folder, Utf16(full.filename().string()), &found, 0);
  return found;
}

}  // namespace vk2
