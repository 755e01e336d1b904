#include "gui/packages/interface_enumerator.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "foundation/util/result.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/runtime/console.h"
#include "platform/clock.h"

namespace vk2 {
namespace {

namespace fs = std::filesystem;

constexpr const char16_t* kIndexName = u"index.mml";
constexpr int32_t kMinUniqueNameLength = 13;
constexpr uint32_t kIdentifierMask = 0xAAAAAAAA;
// The loader's answer for a package without the member asked for.
constexpr int32_t kLoaderMemberMissing = -17;
// The user interface's listing options of the scan's last pattern and of a folder install.
constexpr uint32_t kScanFolderOptions = kListFolders | kListFoldersOnly;
constexpr uint32_t kInstallFolderOptions = kListFolders;

// A package's last-write time in whole seconds; false when it cannot be read (gone).
bool LastWriteSeconds(const TString& path, int64_t* out) {
  std::error_code error;
  const fs::path fsPath(Utf8(path).c_str());
  // A folder package changes when its index does.
  const fs::path probe = fs::is_directory(fsPath, error) ? fsPath / "index.mml" : fsPath;
  const auto time = fs::last_write_time(probe, error);
  if (error) return false;
  *out = std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
  return true;
}

TString Attribute(MXmlNode* node, const char16_t* name) {
  TString value;
  if (node->GetAttribute(name, &value) < 0) return TString();
  return value;
}

// The element's `frame` or `remote` children with both names set, last first.
std::vector<WindowPair> ReadPairs(MXmlNode* element, const char16_t* tag) {
  std::vector<WindowPair> pairs;
  const int32_t count = element->GetChildCount(tag, kXmlElement);
  for (int32_t i = count - 1; i >= 0; --i) {
    RefPtr<MXmlNode> child;
    if (element->GetChild(tag, static_cast<uint32_t>(i), kXmlElement, child.Put()) < 0) continue;
    WindowPair pair{Attribute(child.Get(), u"name"), Attribute(child.Get(), u"window")};
    if (pair.name.IsEmpty() || pair.window.IsEmpty()) continue;
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

bool SamePath(const TString& a, const TString& b) {
  return a.Equals(b, false);
}

}  // namespace

InterfaceEnumerator::InterfaceEnumerator(PackageServices services, uint32_t firstIdentifier)
    : services_(std::move(services)),
      nextIdentifier_(firstIdentifier
                          ? firstIdentifier
                          : static_cast<uint32_t>(HighResCounter() * 1000 / HighResFrequency()) ^
                                kIdentifierMask) {
  if (services_.enumerationService) enumeration_ = services_.enumerationService();
}

uint32_t InterfaceEnumerator::TakeIdentifier() {
  std::lock_guard hold(lock_);
  return nextIdentifier_++;
}

size_t InterfaceEnumerator::Count() {
  std::lock_guard hold(lock_);
  return records_.size();
}

TString InterfaceEnumerator::DefaultText(const char16_t* key) {
  return services_.languageText ? services_.languageText(key) : TString();
}

bool InterfaceEnumerator::Scan() {
  TString folder;
  if (RefPtr<MPreferenceStore> prefs =
          services_.guiPreferences ? services_.guiPreferences() : nullptr) {
    const TString fallback = services_.programFolder().ConcatText(u"/interfaces");
    prefs->PrepString(u"interface_path", fallback.c_str());
    prefs->GetString(u"interface_path", &folder);
  } else {
    folder = services_.programFolder().ConcatText(u"/interfaces");
  }
  for (const CatalogueEntry& entry : catalogue_.Known()) {
    if (entry.flags & kEntryDescribed) {
      LoadDescription(entry.path, *entry.description);
    } else {
      LoadPackage(entry.path, entry.description.get());
    }
  }
  const TString base = folder.ConcatText(u"/");
  for (const char16_t* extension : kPackageExtensions) {
    const TString pattern = base.ConcatText(u"*.").ConcatText(extension);
    for (const CatalogueEntry& entry : catalogue_.List(pattern, 0)) {
      if (entry.flags & kEntryPackage) LoadPackage(entry.path, entry.description.get());
    }
  }
  for (const CatalogueEntry& entry : catalogue_.List(base.ConcatText(u"*"), kScanFolderOptions)) {
    if (entry.flags & kEntryPackage) LoadPackage(entry.path, entry.description.get());
  }
  const size_t count = Count();
  if (count == 0) {
    services_.log(kConsoleError, TString(u"Error: - no interfaces found\n"));
    return false;
  }
  services_.log(kConsoleProgress,
                TString::Format(u"%u Interface(s) found\n", static_cast<uint32_t>(count)));
  return true;
}

uint32_t InterfaceEnumerator::InstallPackage(const TString& path) {
  const uint32_t added = path.IsEmpty() ? 0 : AddInterfacesFrom(path);
  if (services_.interfacesChanged) services_.interfacesChanged();
  return added;
}

uint32_t InterfaceEnumerator::AddInterfacesFrom(const TString& path) {
  uint32_t added = 0;
  if (services_.isPackage(path)) {
    added = LoadPackage(path, nullptr);
  } else {
    for (const CatalogueEntry& entry : catalogue_.List(path, kInstallFolderOptions)) {
      if (entry.flags & (kEntryPackage | kEntryFolderPackage)) {
        added += LoadPackage(entry.path, entry.description.get());
      }
    }
  }
  if (added == 0) {
    services_.log(kConsoleWarning,
                  TString::Format(u"warning: failed to add interface from %s -- %s\n", path, u""));
  }
  return added;
}

void InterfaceEnumerator::ReadDefinition(MInterfaceDefinition* definition,
                                         InterfaceRecord* record) {
  const auto orDefault = [this](TString value, const char16_t* key) {
    return value.IsEmpty() ? DefaultText(key) : value;
  };
  TString text;
  definition->GetCosmeticName(&text);
  record->cosmeticName = orDefault(text, u"default_interface/cosmetic_name");
  text = TString();
  definition->GetUniqueName(&text);
  record->uniqueName = text;
  text = TString();
  definition->GetAuthor(&text);
  record->author = orDefault(text, u"default_interface/author");
  text = TString();
  definition->GetUrlTitle(&text);
  record->urlTitle = orDefault(text, u"default_interface/url_title");
  text = TString();
  definition->GetUrl(&text);
  record->url = orDefault(text, u"default_interface/url");
  text = TString();
  definition->GetVersionText(&text);
  record->version = orDefault(text, u"default_interface/version");
  record->mmlVersion = static_cast<uint32_t>(definition->GetMmlVersion());
  // The package's own element (a property named "Velkora2") lists its frames and remotes.
  RefPtr<MXmlNode> own;
  if (definition->GetProperty(u"Velkora2", own.Put()) >= 0 && own) {
    record->frames = ReadPairs(own.Get(), u"frame");
    record->remotes = ReadPairs(own.Get(), u"remote");
  }
}

bool InterfaceEnumerator::Admit(const InterfaceRecord& record, TString* detail) {
  if (record.uniqueName.Length() < kMinUniqueNameLength) {
    detail->AppendPrintf(
        u"Interface unique_name \"%s\" is not suitable (<= 12 chars)!  This interface was not "
        u"added.\n",
        record.uniqueName);
    return false;
  }
  std::lock_guard hold(lock_);
  const InterfaceRecord* existing = nullptr;
  for (const InterfaceRecord& other : records_) {
    if (other.uniqueName.Equals(record.uniqueName, false)) {
      existing = &other;
      break;
    }
  }
  if (existing) {
    int64_t newTime = 0, oldTime = 0;
    bool newer;
    if (!LastWriteSeconds(record.path, &newTime)) {
      newer = false;
    } else if (SamePath(existing->path, record.path)) {
      // The same package read again: new only when it changed since it was read.
      auto read = readTimes_.find(std::u16string(existing->path.view()));
      newer = read != readTimes_.end() && newTime > read->second;
    } else {
      // An older package that can no longer be read gives way to the one that can.
      newer = !LastWriteSeconds(existing->path, &oldTime) || newTime > oldTime;
    }
    if (!newer) {
      detail->AppendPrintf(
          u"Interface unique_name \"%s\" is not unique!  This interface was not added.\n",
          record.uniqueName);
      return false;
    }
    detail->AppendPrintf(
        u"Interface unique_name \"%s\" is not unique!  Replacing older interface.\n",
        record.uniqueName);
    std::erase_if(records_, [&](const InterfaceRecord& other) {
      return other.uniqueName.Equals(record.uniqueName, false);
    });
  }
  records_.push_back(record);
  return true;
}

uint32_t InterfaceEnumerator::LoadPackage(const TString& path, PackageDescription* description) {
  TString detail;
  uint32_t added = 0;
  std::error_code error;
  RefPtr<MResourceFile> archive = services_.newArchive ? services_.newArchive() : nullptr;
  RefPtr<MInterfaceLoader> loader;
  if (!fs::exists(fs::path(Utf8(path).c_str()), error)) {
    detail = u"package does not exist";
  } else if (!archive || !archive->OpenFile(path.c_str())) {
    detail = u"invalid package format";
  } else if ((loader = services_.newLoader ? services_.newLoader() : nullptr)) {
    const LoadContext options = services_.loadOptions();
    TString parseError;
    const NarrowString index = Utf8(TString(kIndexName));
    const int32_t r =
        loader->LoadFromPackage(archive.Get(), index.c_str(), &options, &parseError, nullptr);
    if (r < 0) {
      detail = u"DUV Parse error";
      if (!parseError.IsEmpty()) {
        detail += u"\t\n";
        detail += parseError;
      } else if (r == kLoaderMemberMissing) {
        detail.AppendPrintf(u"\t\n %s not found in package!\n", kIndexName);
      }
    } else {
      int64_t readTime = 0;
      const bool timed = LastWriteSeconds(path, &readTime);
      if (description) description->Clear();
      const int32_t count = loader->Count();
      for (int32_t i = 0; i < count; ++i) {
        RefPtr<MInterfaceDefinition> definition;
        if (loader->GetByIndex(i, definition.Put()) < 0 || !definition) continue;
        InterfaceRecord record;
        record.identifier = TakeIdentifier();
        record.path = path;
        ReadDefinition(definition.Get(), &record);
        if (Admit(record, &detail)) ++added;
        if (description) description->interfaces.push_back(record);
      }
      if (description) {
        description->counted = true;
        description->interfaceCount = static_cast<uint32_t>(count);
      }
      if (timed) {
        std::lock_guard hold(lock_);
        readTimes_[std::u16string(path.view())] = readTime;
      }
    }
  }
  if (added == 0) {
    services_.log(
        kConsoleWarning,
        TString::Format(u"warning: failed to add interface from %s -- %s\n", path, detail));
  } else if (!detail.IsEmpty()) {
    services_.log(kConsoleWarning, TString::Format(u"warning: %s\n", detail));
  }
  return added;
}

uint32_t InterfaceEnumerator::LoadDescription(const TString& path,
                                              const PackageDescription& description) {
  uint32_t added = 0;
  const auto orDefault = [this](const TString& value, const char16_t* key) {
    return value.IsEmpty() ? DefaultText(key) : value;
  };
  const uint32_t count = description.counted ? description.interfaceCount : 0;
  for (uint32_t i = 0; i < count && i < description.interfaces.size(); ++i) {
    const InterfaceRecord& stored = description.interfaces[i];
    InterfaceRecord record = stored;
    record.identifier = TakeIdentifier();
    record.path = stored.path.IsEmpty() ? path : stored.path;
    record.author = orDefault(stored.author, u"default_skin/author");
    record.urlTitle = orDefault(stored.urlTitle, u"default_skin/url_title");
    record.url = orDefault(stored.url, u"default_skin/url");
    record.cosmeticName = orDefault(stored.cosmeticName, u"default_skin/cosmetic_name");
    record.uniqueName = orDefault(stored.uniqueName, u"default_skin/unique_name");
    record.version = orDefault(stored.version, u"default_skin/version");
    record.time = {};
    std::lock_guard hold(lock_);
    bool known = false;
    for (const InterfaceRecord& other : records_) {
      known = known || other.uniqueName.Equals(record.uniqueName, false);
    }
    if (known) continue;
    records_.push_back(std::move(record));
    ++added;
  }
  if (added == 0) {
    services_.log(kConsoleWarning,
                  TString::Format(u"warning: failed to add interface from %s -- %s\n", path, u""));
  }
  return added;
}

bool InterfaceEnumerator::FindByName(const TString& uniqueName, InterfaceRecord* out) {
  if (uniqueName.IsEmpty()) return false;
  std::lock_guard hold(lock_);
  for (const InterfaceRecord& record : records_) {
    if (record.uniqueName.Equals(uniqueName, false)) {
      *out = record;
      return true;
    }
  }
  return false;
}

bool InterfaceEnumerator::FindById(uint32_t identifier, InterfaceRecord* out) {
  std::lock_guard hold(lock_);
  for (const InterfaceRecord& record : records_) {
    if (record.identifier == identifier) {
      *out = record;
      return true;
    }
  }
  return false;
}

bool InterfaceEnumerator::GetIds(std::vector<uint32_t>* out) {
  std::lock_guard hold(lock_);
  out->clear();
  for (const InterfaceRecord& record : records_)
    out->push_back(record.identifier);
  return true;
}

bool InterfaceEnumerator::RemoveRecord(const InterfaceRecord& record, bool alsoDescription) {
  bool result = true;
  if (alsoDescription) {
    result = false;
    if (std::shared_ptr<PackageDescription> description = catalogue_.Describe(record.path, false)) {
      auto& stored = description->interfaces;
      for (auto it = stored.begin(); it != stored.end(); ++it) {
        if (it->uniqueName.Equals(record.uniqueName, false)) {
          stored.erase(it);
          if (description->interfaceCount > 0) --description->interfaceCount;
          result = true;
          break;
        }
      }
    }
  }
  std::lock_guard hold(lock_);
  std::erase_if(records_, [&](const InterfaceRecord& other) {
    return other.uniqueName.Equals(record.uniqueName, false);
  });
  return result;
}

bool InterfaceEnumerator::RemoveById(uint32_t identifier, bool alsoDescription) {
  InterfaceRecord record;
  return FindById(identifier, &record) && RemoveRecord(record, alsoDescription);
}

bool InterfaceEnumerator::RemoveByName(const TString& uniqueName, bool alsoDescription) {
  InterfaceRecord record;
  return FindByName(uniqueName, &record) && RemoveRecord(record, alsoDescription);
}

uint32_t InterfaceEnumerator::RemoveInterfacesIn(const TString& folder) {
  catalogue_.Forget(folder);
  std::vector<TString> paths;
  std::error_code error;
  for (fs::recursive_directory_iterator it(fs::path(Utf8(folder).c_str()), error), end;
       !error && it != end; it.increment(error)) {
    // Folders too: a package may be a folder.
    paths.push_back(WideFromNarrow(it->path().string().c_str()));
  }
  std::lock_guard hold(lock_);
  const size_t before = records_.size();
  std::erase_if(records_, [&](const InterfaceRecord& record) {
    for (const TString& path : paths) {
      if (SamePath(record.path, path)) return true;
    }
    return false;
  });
  return static_cast<uint32_t>(before - records_.size());
}

}  // namespace vk2
