#include "core/managers/module_catalogue.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"
#include "platform/clock.h"

namespace vk2 {
namespace {

struct CatalogueCategory {
  const Guid& category;
  const Guid& iid;
};
const CatalogueCategory kCategories[] = {
    {kCategoryDecoders, kIID_MAudioModule},
    {kCategoryOutputDevices, kIID_MAudioModule},
    {kCategoryStreamReaders, kIID_MStreamReader},
};

}  // namespace

ModuleCatalogue::ModuleCatalogue(RefPtr<MClassEnumerator> classes, uint64_t expiryMs)
    : classes_(std::move(classes)),
      expiryMs_(expiryMs),
      listeners_(
          [](MModuleListListener* listener, const Rebuilt&) { listener->OnModuleListChanged(); }) {
  entries_ = Build();
  if (classes_) classes_->AddRemoveChangeListener(this, 1);
}

ModuleCatalogue::~ModuleCatalogue() {
  if (classes_) classes_->AddRemoveChangeListener(this, 0);
  ReleaseInstances();
}

std::vector<ModuleCatalogue::Entry> ModuleCatalogue::Build() {
  std::vector<Entry> entries;
  if (!classes_) return entries;
  for (const CatalogueCategory& c : kCategories) {
    uint32_t count = 0;
    classes_->GetCategoryCount(c.category, &count);
    for (uint32_t i = 0; i < count; ++i) {
      Guid member{};
      if (classes_->GetCategoryEntry(c.category, i, &member, nullptr) < 0) continue;
      RefPtr<MUnknown> object;
      if (classes_->CreateInstance(member, c.iid, object.PutVoid(), nullptr) < 0 || !object) {
        continue;
      }
      RefPtr<MModuleProperties> properties =
          Query<MModuleProperties>(object, kIID_MModuleProperties);
      TString name;
      if (!properties || properties->GetString(u"modulename", &name) < 0) continue;
      // The module filled the name: a copy of our own outlives the module, which may be unloaded
      // before this catalogue goes.
      entries.push_back({TString(name.c_str()), member, c.iid, {}});
    }
  }
  return entries;
}

void ModuleCatalogue::Rebuild() {
  // Modules are made with no lock held; the old entries and their instances go after it.
  std::vector<Entry> fresh = Build();
  {
    std::lock_guard lock(mutex_);
    entries_.swap(fresh);
  }
  fresh.clear();
  listeners_.PostAndDeliver(Rebuilt{});
}

int32_t ModuleCatalogue::ListModules(std::vector<TString>* names) {
  if (!names) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  names->clear();
  for (const Entry& entry : entries_)
    names->push_back(entry.name);
  return kOk;
}

int32_t ModuleCatalogue::AddRemoveListener(MModuleListListener* listener, int32_t add) {
  return listeners_.AddRemove(listener, add);
}

int32_t ModuleCatalogue::GetModuleInstance(const char16_t* module, const char16_t* key,
                                           MPreferenceStore* settings, MUnknown** instance) {
  if (!module || !instance) return kErrMissingArg;
  *instance = nullptr;
  const TString wanted(module);
  const TString wantedKey(key ? key : u"");
  std::lock_guard lock(mutex_);
  Entry* entry = nullptr;
  for (Entry& e : entries_) {
    if (e.name.Equals(wanted, false)) entry = &e;
    if (entry) break;
  }
  if (!entry) return kErrNotFound;
  Instance* slot = nullptr;
  for (Instance& i : entry->instances) {
    if (i.key.Equals(wantedKey, false)) slot = &i;
    if (slot) break;
  }
  if (!slot) {
    entry->instances.push_back({wantedKey, nullptr, 0});
    slot = &entry->instances.back();
  }
  slot->lastUseMs = CurrentClock().NowMs();
  if (!slot->object) {
    RefPtr<MUnknown> object;
    int32_t r =
        classes_ ? classes_->CreateInstance(entry->classId, entry->iid, object.PutVoid(), nullptr)
                 : kErrNoService;
    if (r < 0) return r;
    if (!object) return kErrOutOfMemory;
    RefPtr<MModuleProperties> properties = Query<MModuleProperties>(object, kIID_MModuleProperties);
    if (!properties) return kErrNoInterface;
    r = properties->LoadSettings(settings);
    if (r < 0) return r;
    slot->object = std::move(object);
  }
  slot->object->AddRef();
  *instance = slot->object.Get();
  return kOk;
}

void ModuleCatalogue::OnTick() {
  std::vector<RefPtr<MUnknown>> expired;
  {
    std::lock_guard lock(mutex_);
    const uint64_t now = CurrentClock().NowMs();
    for (Entry& entry : entries_) {
      for (Instance& instance : entry.instances) {
        if (instance.object && now - instance.lastUseMs > expiryMs_) {
          expired.push_back(std::move(instance.object));
        }
      }
    }
  }
  // Let go outside the lock: a module's last release may stop threads.
}

void ModuleCatalogue::ReleaseInstances() {
  std::vector<RefPtr<MUnknown>> all;
  {
    std::lock_guard lock(mutex_);
    for (Entry& entry : entries_) {
      for (Instance& instance : entry.instances) {
        if (instance.object) all.push_back(std::move(instance.object));
      }
    }
  }
}

size_t ModuleCatalogue::CachedInstanceCount() {
  std::lock_guard lock(mutex_);
  size_t n = 0;
  for (const Entry& entry : entries_) {
    for (const Instance& instance : entry.instances)
      n += instance.object ? 1 : 0;
  }
  return n;
}

}  // namespace vk2
