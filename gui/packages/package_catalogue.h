// What the user interface knows of package files beyond the interface list: folder listings
// that mark the entries worth loading, and one stored description per package read, so that a
// package can be listed again without opening it. Descriptions live for the catalogue's life.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/text/tstring.h"
#include "gui/packages/interface_record.h"

namespace vk2 {

// Listing options.
inline constexpr uint32_t kListFolders = 0x4;      // package folders are listed too
inline constexpr uint32_t kListFoldersOnly = 0x8;  // with kListFolders: no plain files

// Entry flags.
inline constexpr uint32_t kEntryDescribed = 0x4;  // a description with an interface count exists
inline constexpr uint32_t kEntryPackage = 0x8;    // a file to read as a package
inline constexpr uint32_t kEntryFolderPackage = 0x10;  // a folder holding "index.mml"

// The stored description of one package: the interfaces read from it (refused ones too).
struct PackageDescription {
  bool counted = false;  // false until a reading sets the count
  uint32_t interfaceCount = 0;
  std::vector<InterfaceRecord> interfaces;

  void Clear() {
    counted = false;
    interfaceCount = 0;
    interfaces.clear();
  }
};

struct CatalogueEntry {
  TString path;
  uint32_t flags = 0;
  // Shared: a description forgotten while a reading fills it stays valid until the reading ends.
  std::shared_ptr<PackageDescription> description;
};

class PackageCatalogue {
 public:
  // The packages described so far, in the order they were first described.
  std::vector<CatalogueEntry> Known();
  // `location` is a folder, or a folder, '/' and a pattern ('*' and '?'). Plain files match the
  // pattern (a folder alone: the extensions the scan looks for); with kListFolders, sub-folders
  // that hold "index.mml". Sorted by name, so that scans repeat.
  std::vector<CatalogueEntry> List(const TString& location, uint32_t options);
  // The description of a package, made empty when `create` and none exists yet.
  std::shared_ptr<PackageDescription> Describe(const TString& path, bool create);
  // Drops the descriptions of every package in or below the folder.
  void Forget(const TString& folder);

 private:
  CatalogueEntry EntryFor(const TString& path, uint32_t flags);

  std::recursive_mutex lock_;
  std::vector<std::u16string> order_;
  std::map<std::u16string, std::shared_ptr<PackageDescription>> descriptions_;
};

}  // namespace vk2
