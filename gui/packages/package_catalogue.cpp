#include "gui/packages/package_catalogue.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "gui/packages/package_services.h"

namespace vk2 {
namespace {

namespace fs = std::filesystem;

TString Wide(const fs::path& path) {
  return WideFromNarrow(path.string().c_str());
}

bool MatchesAny(const std::string& name, const std::string& pattern) {
  if (!pattern.empty()) return fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
  // A folder given without a pattern lists the package files.
  return HasPackageExtension(WideFromNarrow(name.c_str()));
}

}  // namespace

CatalogueEntry PackageCatalogue::EntryFor(const TString& path, uint32_t flags) {
  CatalogueEntry entry{path, flags, Describe(path, true)};
  if (entry.description->counted) entry.flags |= kEntryDescribed;
  return entry;
}

std::vector<CatalogueEntry> PackageCatalogue::Known() {
  std::lock_guard hold(lock_);
  std::vector<CatalogueEntry> entries;
  for (const std::u16string& path : order_) {
    const std::shared_ptr<PackageDescription>& description = descriptions_[path];
    entries.push_back(CatalogueEntry{TString(path.c_str()),
                                     description->counted ? kEntryDescribed : 0u, description});
  }
  return entries;
}

std::vector<CatalogueEntry> PackageCatalogue::List(const TString& location, uint32_t options) {
  std::error_code error;
  fs::path folder(Utf8(location).c_str());
  std::string pattern;
  if (!fs::is_directory(folder, error)) {
    pattern = folder.filename().string();
    folder = folder.parent_path();
  }
  std::vector<fs::path> files, folders;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    if (it->is_directory(error)) {
      if ((options & kListFolders) && fs::is_regular_file(path / "index.mml", error) &&
          (pattern.empty() || fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)) {
        folders.push_back(path);
      }
    } else if (!(options & kListFoldersOnly) && it->is_regular_file(error) &&
               MatchesAny(name, pattern)) {
      files.push_back(path);
    }
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  std::lock_guard hold(lock_);
  std::vector<CatalogueEntry> entries;
  for (const fs::path& path : files)
    entries.push_back(EntryFor(Wide(path), kEntryPackage));
  for (const fs::path& path : folders)
    entries.push_back(EntryFor(Wide(path), kEntryPackage | kEntryFolderPackage));
  return entries;
}

std::shared_ptr<PackageDescription> PackageCatalogue::Describe(const TString& path, bool create) {
  std::lock_guard hold(lock_);
  const std::u16string key(path.view());
  auto it = descriptions_.find(key);
  if (it != descriptions_.end()) return it->second;
  if (!create) return nullptr;
  order_.push_back(key);
  return descriptions_.emplace(key, std::make_shared<PackageDescription>()).first->second;
}

void PackageCatalogue::Forget(const TString& folder) {
  std::lock_guard hold(lock_);
  std::u16string prefix(folder.view());
  while (prefix.size() > 1 && prefix.back() == u'/')
    prefix.pop_back();
  const auto inside = [&](const std::u16string& path) {
    return path == prefix ||
           (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
            path[prefix.size()] == u'/');
  };
  std::erase_if(order_, inside);
  std::erase_if(descriptions_, [&](const auto& item) { return inside(item.first); });
}

}  // namespace vk2
