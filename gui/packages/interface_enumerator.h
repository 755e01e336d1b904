// The list of installed interfaces: packages found under the interface folder (and those the
// catalogue already describes), read through the markup engine's loader, checked, and kept as
// records under identifiers that stay unique while the program runs.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/text/tstring.h"
#include "gui/packages/interface_record.h"
#include "gui/packages/package_catalogue.h"
#include "gui/packages/package_services.h"

namespace vk2 {

class InterfaceEnumerator {
 public:
  // `firstIdentifier` 0: taken from the millisecond clock (XOR 0xAAAAAAAA).
  explicit InterfaceEnumerator(PackageServices services, uint32_t firstIdentifier = 0);
  InterfaceEnumerator(const InterfaceEnumerator&) = delete;
  InterfaceEnumerator& operator=(const InterfaceEnumerator&) = delete;

  // The start-up scan. True when at least one interface is known afterwards.
  bool Scan();
  // Adds the interfaces at `path` (a package or a folder of them; nothing for an empty path),
  // then tells the user interface that the list changed. The number added.
  uint32_t InstallPackage(const TString& path);
  uint32_t AddInterfacesFrom(const TString& path);
  uint32_t LoadPackage(const TString& path, PackageDescription* description);
  uint32_t LoadDescription(const TString& path, const PackageDescription& description);

  bool FindByName(const TString& uniqueName, InterfaceRecord* out);
  bool FindById(uint32_t identifier, InterfaceRecord* out);
  bool GetIds(std::vector<uint32_t>* out);
  // With `alsoDescription`, true only when the package's description lost the interface.
  bool RemoveById(uint32_t identifier, bool alsoDescription);
  bool RemoveByName(const TString& uniqueName, bool alsoDescription);
  // Forgets the folder's descriptions and removes every interface of a package in it.
  uint32_t RemoveInterfacesIn(const TString& folder);

  PackageCatalogue& Catalogue() { return catalogue_; }
  size_t Count();

 private:
  uint32_t TakeIdentifier();
  bool RemoveRecord(const InterfaceRecord& record, bool alsoDescription);
  // Applies the length and duplicate rules; appends the detail text. True when accepted.
  bool Admit(const InterfaceRecord& record, TString* detail);
  TString DefaultText(const char16_t* key);
  void ReadDefinition(MInterfaceDefinition* definition, InterfaceRecord* record);

  PackageServices services_;
  RefPtr<MEnumerationService> enumeration_;  // null when the runtime has none
  PackageCatalogue catalogue_;
  std::recursive_mutex lock_;
  uint32_t nextIdentifier_;
  std::vector<InterfaceRecord> records_;
  // Each package's last-write time (seconds) when it was last read, by path: a package read
  // again is new only when it changed since.
  std::map<std::u16string, int64_t> readTimes_;
};

}  // namespace vk2
