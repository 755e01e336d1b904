#include "visual/host/visual_host_object.h"

#include <filesystem>
#include <new>

#include "audio/common/audio_runtime.h"
#include "component/module/module_library.h"
#include "foundation/util/result.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/runtime/registrar.h"
#include "visual/host/file_search.h"
#include "visual/host/visual_entry.h"
#include "visual/host/visual_handle.h"
#include "visual/plugin/plugin_directory.h"
#include "visual/plugin/visual_instance.h"

namespace vk2 {
namespace {

constexpr int32_t kRegisterMode = 1;
constexpr char16_t kPluginPattern[] = u"*.vvp";

TString AbsolutePath(const TString& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(Utf8(path).c_str(), error);
  return error ? path : Utf16(full.lexically_normal().string());
}

}  // namespace

RefPtr<VisualHostObject> VisualHostObject::Make() {
  return RefPtr<VisualHostObject>(new (std::nothrow) VisualHostObject());
}

VisualHostObject::VisualHostObject() : history_(VisualAudioHistory::Make()) {
  classes_ = AudioCreate<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  if (classes_) classes_->AddRemoveChangeListener(this, 1);
}

VisualHostObject::~VisualHostObject() {
  Shutdown();
}

void VisualHostObject::Shutdown() {
  if (RefPtr<MClassEnumerator> classes = std::move(classes_)) {
    classes->AddRemoveChangeListener(this, 0);
  }
  std::vector<std::shared_ptr<VisualEntry>> entries;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    entries.swap(entries_);
  }
  // Entries go from the last to the first, outside the list lock.
  while (!entries.empty())
    entries.pop_back();
}

void VisualHostObject::OnRegistryChanged() {
  std::vector<MVisualHostListener*> listeners;
  {
    std::lock_guard<std::recursive_mutex> lock(listenerLock_);
    listeners = listeners_;
  }
  for (MVisualHostListener* listener : listeners)
    listener->OnVisualClassesChanged();
}

uint32_t VisualHostObject::GetCount() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return static_cast<uint32_t>(entries_.size());
}

uint32_t VisualHostObject::GetNextId(uint32_t id) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (id == 0) return entries_.empty() ? 0 : entries_.front()->id;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i]->id != id) continue;
    for (size_t j = i + 1; j < entries_.size(); ++j) {
      if (!entries_[j]->removalPending) return entries_[j]->id;
    }
    return 0;
  }
  return 0;
}

uint32_t VisualHostObject::GetPrevId(uint32_t id) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (id == 0) return entries_.empty() ? 0 : entries_.back()->id;
  size_t start = entries_.size();
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i]->id == id) start = i;
  }
  for (size_t j = start; j-- > 0;) {
    if (!entries_[j]->removalPending) return entries_[j]->id;
  }
  return 0;
}

uint8_t VisualHostObject::GetAttribute(uint32_t id, int32_t index) {
  if (index < 1 || index > 3) return 0;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if ((*it)->id == id) return (*it)->attributes[index - 1];
  }
  return 0;
}

int32_t VisualHostObject::HandOut(const std::shared_ptr<VisualEntry>& entry, MVisual** out) {
  RefPtr<VisualHandle> handle = VisualHandle::Make(RefPtr<VisualHostObject>(this), entry, TakeId());
  if (!handle) return kErrOutOfMemory;
  ++entry->useCount;
  *out = static_cast<MVisual*>(handle.Detach());
  return kOk;
}

int32_t VisualHostObject::GetVisualById(uint32_t id, MVisual** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  for (const auto& entry : entries_) {
    if (entry->id == id && !entry->removalPending) return HandOut(entry, out);
  }
  return kErrNotFound;
}

int32_t VisualHostObject::GetVisualByName(const char16_t* name, MVisual** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!name) return kErrNotFound;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  for (const auto& entry : entries_) {
    if (!entry->Name().Equals(name, false)) continue;
    if (entry->removalPending) return kErrNotFound;
    return HandOut(entry, out);
  }
  return kErrNotFound;
}

int32_t VisualHostObject::AddFiles(const char16_t* pattern) {
  if (!pattern) return kErrMissingArg;
  for (const TString& file : FindFilesRecursive(pattern))
    AddFile(file);
  return kOk;
}

int32_t VisualHostObject::ScanVisualsPath(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  TString folder;
  if (section->GetString(u"visuals_path", &folder) < 0 || folder.IsEmpty()) return kErrNotFound;
  TString pattern = folder;
  pattern += u"/";
  pattern += kPluginPattern;
  return AddFiles(pattern.c_str());
}

bool VisualHostObject::Listed(const TString& file, const Guid& classId) {
  for (const auto& entry : entries_) {
    if (entry->File() == file && entry->ClassId() == classId) return true;
  }
  return false;
}

int32_t VisualHostObject::AddFile(const TString& given) {
  const TString path = AbsolutePath(given);
  std::lock_guard<std::recursive_mutex> lock(lock_);
  ModuleLibrary library;
  {
    // Libraries may look for their companions while they load.
    PluginDirectoryScope directory(path);
    const int32_t loaded = LoadModule(&library, path, kModuleNoAttach);
    if (loaded != 0) return loaded;
  }
  for (const auto& entry : entries_) {
    if (entry->File() == path) {
      entry->removalPending = false;
      // The extra load only counted the library once more.
      UnloadModule(&library);
      return kErrAlreadyPresent;
    }
  }
  bool added = false;
  auto entry = std::make_shared<VisualEntry>(path, Guid{}, History());
  entry->Library() = library;
  entry->firstGeneration = true;
  auto instance = std::make_shared<VisualInstance>(entry.get());
  const bool firstGeneration = instance->Query();
  if (firstGeneration) {
    entry->AdoptInstance(std::move(instance));
    entry->id = TakeId();
    entries_.push_back(entry);
    added = true;
  } else {
    instance.reset();
    entry->Library() = ModuleLibrary{};  // not the entry's to unload
  }
  // Runtime modules' entries load the file again for themselves.
  AddRuntimeModules(path, &added);
  if (!firstGeneration) UnloadModule(&library);
  return added ? kOk : kErrNotSupported;
}

void VisualHostObject::AddRuntimeModules(const TString& path, bool* added) {
  if (!classes_) return;
  RefPtr<MRegistrar> registrar = AudioCreate<MRegistrar>(kRuntimeRootClass, kIID_MRegistrar);
  if (!registrar || registrar->RegisterModuleFile(kRegisterMode, path.c_str(), 0) < 0) return;
  uint32_t count = 0;
  if (classes_->GetCategoryCount(kCategoryVisualModules, &count) < 0) return;
  for (uint32_t i = count; i-- > 0;) {
    Guid classId{};
    if (classes_->GetCategoryEntry(kCategoryVisualModules, i, &classId, nullptr) < 0) continue;
    TString file;
    if (classes_->GetClassModule(classId, &file) < 0) continue;
    if (!(AbsolutePath(file) == path) || Listed(path, classId)) continue;
    auto entry = std::make_shared<VisualEntry>(path, classId, History());
    auto instance = std::make_shared<VisualInstance>(entry.get());
    if (!instance->CreateModule()) continue;
    entry->AdoptInstance(std::move(instance));
    entry->id = TakeId();
    entries_.push_back(std::move(entry));
    *added = true;
  }
}

void VisualHostObject::RemoveOrMark(const std::shared_ptr<VisualEntry>& entry) {
  if (entry->useCount > 0) {
    entry->removalPending = true;
    return;
  }
  std::erase(entries_, entry);
}

int32_t VisualHostObject::RemoveVisual(uint32_t id) {
  std::shared_ptr<VisualEntry> removed;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (const auto& entry : entries_) {
      if (entry->id == id) removed = entry;
    }
    if (!removed) return kErrNotFound;
    RemoveOrMark(removed);
  }
  // The last reference, when it was, tears the entry down here, outside the list lock.
  return kOk;
}

int32_t VisualHostObject::RemoveVisualFile(const char16_t* given) {
  if (!given) return kErrMissingArg;
  const TString path = AbsolutePath(given);
  ModuleLibrary probe;
  if (LoadModule(&probe, path, kModuleNoAttach) != 0) return kErrNotFound;
  std::shared_ptr<VisualEntry> removed;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (const auto& entry : entries_) {
      if (entry->Library().handle && entry->Library().handle == probe.handle) removed = entry;
    }
    UnloadModule(&probe);
    if (!removed) return kErrNotFound;
    RemoveOrMark(removed);
  }
  return kOk;
}

int32_t VisualHostObject::GetAudioHistory(MVisualAudioHistory** out) {
  if (!out) return kErrMissingArg;
  *out = history_.Get();
  return kOk;
}

int32_t VisualHostObject::NextPostEffect(MVisualPostEffect** effect, Guid* classId) {
  if (!effect || !classId) return kErrMissingArg;
  RefPtr<MVisualPostEffect> previous = RefPtr<MVisualPostEffect>::Adopt(*effect);
  *effect = nullptr;
  if (!classes_) return kOk;
  uint32_t count = 0;
  classes_->GetCategoryCount(kCategoryVisuals, &count);
  bool searching = !previous;
  for (uint32_t i = 0; i < count; ++i) {
    Guid member{};
    if (classes_->GetCategoryEntry(kCategoryVisuals, i, &member, nullptr) < 0) continue;
    if (!searching) {
      searching = member == *classId;
      continue;
    }
    void* made = nullptr;
    if (classes_->CreateInstance(member, kIID_MVisualPostEffect, &made, nullptr) < 0 || !made) {
      continue;
    }
    *effect = static_cast<MVisualPostEffect*>(made);
    *classId = member;
    return kOk;
  }
  return kOk;
}

int32_t VisualHostObject::AddRemoveListener(MVisualHostListener* listener, int32_t add) {
  if (!listener) return kErrMissingArg;
  std::lock_guard<std::recursive_mutex> lock(listenerLock_);
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (add) {
    if (it != listeners_.end()) return kErrAlreadyPresent;
    listeners_.push_back(listener);
    return kOk;
  }
  if (it == listeners_.end()) return kErrNotFound;
  listeners_.erase(it);
  return kOk;
}

int32_t VisualHostObject::Purge(int32_t force) {
  std::vector<std::shared_ptr<VisualEntry>> removed;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    for (auto it = entries_.begin(); it != entries_.end();) {
      // A forced purge lists an entry no more; open handles keep it alive until they go.
      if (force || (*it)->useCount == 0) {
        removed.push_back(*it);
        it = entries_.erase(it);
      } else {
        (*it)->removalPending = true;
        ++it;
      }
    }
  }
  return kOk;
}

void VisualHostObject::HandleClosed(const std::shared_ptr<VisualEntry>& entry) {
  std::shared_ptr<VisualEntry> last;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (entry->useCount > 0) --entry->useCount;
  if (entry->useCount == 0 && entry->removalPending) {
    last = entry;
    std::erase(entries_, entry);
  }
}

}  // namespace vk2
