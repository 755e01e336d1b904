#include "gui/packages/interface_cache.h"

#include <utility>

#include "foundation/util/result.h"
#include "interfaces/runtime/console.h"

namespace vk2 {
namespace {

constexpr const char16_t* kIndexName = u"index.mml";
constexpr int32_t kLoaderMemberMissing = -17;

}  // namespace

InterfaceCache::InterfaceCache(PackageServices services) : services_(std::move(services)) {}

InterfaceCache::~InterfaceCache() = default;

bool InterfaceCache::AcquireDefinition(const InterfaceRecord& record, MInterfaceDefinition** out,
                                       const LoadContext* context, MInterfaceDefinition* parent) {
  if (!out) return false;
  *out = nullptr;
  std::lock_guard hold(lock_);
  for (PackageEntry& entry : entries_) {
    if (!entry.path.Equals(record.path, false) || entry.time != record.time) continue;
    for (InterfaceUse& use : entry.uses) {
      if (use.identifier == record.identifier) {
        ++use.count;
        *out = RefPtr<MInterfaceDefinition>(use.definition).Detach();
        return true;
      }
    }
    RefPtr<MInterfaceDefinition> definition;
    if (entry.loader->GetByName(record.uniqueName.c_str(), definition.Put()) < 0 || !definition) {
      return false;
    }
    entry.uses.push_back(InterfaceUse{record.identifier, 1, definition});
    *out = definition.Detach();
    return true;
  }
  RefPtr<MResourceFile> archive = services_.newArchive ? services_.newArchive() : nullptr;
  if (!archive || !archive->OpenFile(record.path.c_str())) return false;
  RefPtr<MInterfaceLoader> loader;
  if (LoadInterfaceFile(&loader, archive.Get(), kIndexName, context, record.path, parent) != 0) {
    return false;
  }
  RefPtr<MInterfaceDefinition> definition;
  if (loader->GetByName(record.uniqueName.c_str(), definition.Put()) < 0 || !definition) {
    return false;
  }
  PackageEntry entry{record.path, record.time, loader, {}};
  entry.uses.push_back(InterfaceUse{record.identifier, 1, definition});
  entries_.push_back(std::move(entry));
  *out = definition.Detach();
  return true;
}

void InterfaceCache::ReleaseDefinition(MInterfaceDefinition* definition) {
  if (!definition) return;
  // Released outside the lock: a definition's last release may reach back into the markup.
  RefPtr<MInterfaceDefinition> lastUse;
  RefPtr<MInterfaceLoader> lastLoader;
  std::lock_guard hold(lock_);
  for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
    for (auto use = entry->uses.begin(); use != entry->uses.end(); ++use) {
      if (use->definition.Get() != definition) continue;
      if (--use->count > 0) return;
      lastUse = std::move(use->definition);
      entry->uses.erase(use);
      if (entry->uses.empty()) {
        lastLoader = std::move(entry->loader);
        entries_.erase(entry);
      }
      return;
    }
  }
}

int32_t InterfaceCache::LoadInterfaceFile(RefPtr<MInterfaceLoader>* out, MResourceFile* archive,
                                          const char16_t* fileName, const LoadContext* context,
                                          const TString& packagePath,
                                          MInterfaceDefinition* parent) {
  RefPtr<MInterfaceLoader> loader = services_.newLoader ? services_.newLoader() : nullptr;
  if (!loader) return kErrFailed;
  LoadContext options;
  if (context) {
    options = *context;
  } else if (services_.loadOptions) {
    options = services_.loadOptions();
  }
  TString parseError;
  const NarrowString name = Utf8(TString(fileName));
  const int32_t r = loader->LoadFromPackage(archive, name.c_str(), &options, &parseError, parent);
  if (r >= 0) {
    *out = std::move(loader);
    return 0;
  }
  TString message(u"Interface Parse error:\t\n");
  if (!parseError.IsEmpty()) {
    message += parseError;
  } else if (r == kLoaderMemberMissing && !packagePath.IsEmpty()) {
    message.AppendPrintf(u"Error: \"%s\" not found in package!\n", packagePath);
  }
  message += u"\n\n";
  if (services_.log) services_.log(kConsoleError, message);
  return kErrFailed;
}

size_t InterfaceCache::PackageCount() {
  std::lock_guard hold(lock_);
  return entries_.size();
}

int32_t InterfaceCache::UseCount(uint32_t identifier) {
  std::lock_guard hold(lock_);
  for (const PackageEntry& entry : entries_) {
    for (const InterfaceUse& use : entry.uses) {
      if (use.identifier == identifier) return use.count;
    }
  }
  return 0;
}

}  // namespace vk2
