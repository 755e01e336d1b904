// Loaded package indexes shared among windows: each package's index is read once and kept while
// any of its interface definitions is in use; a definition is handed out with a use count and
// the package is let go with its last use.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "gui/packages/interface_record.h"
#include "gui/packages/package_services.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/interface_loader.h"

namespace vk2 {

class InterfaceCache {
 public:
  explicit InterfaceCache(PackageServices services);
  ~InterfaceCache();
  InterfaceCache(const InterfaceCache&) = delete;
  InterfaceCache& operator=(const InterfaceCache&) = delete;

  // The record's definition with one reference for the caller, opening its package when no
  // user holds it. `context` is the window manager's; null: the services' load options.
  // `parent` (the mood's definition) answers the names the package does not define.
  bool AcquireDefinition(const InterfaceRecord& record, MInterfaceDefinition** out,
                         const LoadContext* context, MInterfaceDefinition* parent = nullptr);
  // Gives one use back; an unknown definition changes nothing.
  void ReleaseDefinition(MInterfaceDefinition* definition);

  // Reads `fileName` of an opened package into a new loader, reporting parse errors to the log.
  // 0, or kErrFailed.
  int32_t LoadInterfaceFile(RefPtr<MInterfaceLoader>* out, MResourceFile* archive,
                            const char16_t* fileName, const LoadContext* context,
                            const TString& packagePath, MInterfaceDefinition* parent = nullptr);

  // For tests: packages open and uses of one package.
  size_t PackageCount();
  int32_t UseCount(uint32_t identifier);

 private:
  struct InterfaceUse {
    uint32_t identifier;
    int32_t count;
    RefPtr<MInterfaceDefinition> definition;
  };
  struct PackageEntry {
    TString path;
    std::array<int32_t, 9> time;
    RefPtr<MInterfaceLoader> loader;
    std::vector<InterfaceUse> uses;
  };

  PackageServices services_;
  std::recursive_mutex lock_;
  std::vector<PackageEntry> entries_;
};

}  // namespace vk2
