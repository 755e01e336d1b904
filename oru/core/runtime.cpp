#include "oru/core/runtime.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/entry_points.h"
#include "oru/core/base_object.h"
#include "oru/core/root_object.h"
#include "oru/core/text_util.h"
#include "oru/graphics/images/image_service.h"
#include "oru/gui/brint_class.h"
#include "oru/network/network_connection.h"
#include "oru/services/service_hub.h"
#include "platform/registry/file_stamp.h"

namespace vk2::oru {
namespace {

std::mutex g_stateMutex;
Runtime* g_runtime = nullptr;
int32_t g_attachCount = 0;

// The batch that AddToCategory calls of this thread belong to: the module being registered,
// or one opened with SetBatch(0).
// Plain pointers: a thread_local with a destructor would keep the library from unloading.
thread_local RegistrationBatch* t_batch = nullptr;
thread_local RegistrationBatch* t_openBatch = nullptr;

std::string FolderOfThisLibrary() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&FolderOfThisLibrary), &info) == 0 || !info.dli_fname) {
    return {};
  }
  std::string file = CanonicalPath(info.dli_fname);
  return file.empty() ? std::string() : ParentFolder(file);
}

std::optional<ModuleStamp> StampOfFile(const std::string& path) {
  std::optional<FileStamp> s = StampOf(path);
  if (!s) return std::nullopt;
  return ModuleStamp{s->size, s->modifiedNs};
}

std::string AbsoluteFromCurrentFolder(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

}  // namespace

bool GuidLess::operator()(const Guid& a, const Guid& b) const {
  return std::memcmp(&a, &b, sizeof(Guid)) < 0;
}

// ---- Lifetime ------------------------------------------------------------------------------

Runtime::Runtime()
    : errors_(std::make_unique<ErrorTables>()),
      registryFile_(registry::DefaultRegistry()),
      classes_(std::make_unique<ClassRegistry>(registryFile_)),
      modules_(std::make_unique<ModuleTable>()),
      services_(std::make_unique<ServiceHub>(errors_.get())),
      graphics_(std::make_unique<GraphicsHub>()),
      root_(std::make_unique<RootObject>()),
      ownFolder_(FolderOfThisLibrary()) {
  seenGeneration_ = classes_->Generation();
}

Runtime::~Runtime() {
  Shutdown();
}

Runtime& Runtime::Get() {
  std::lock_guard lock(g_stateMutex);
  if (!g_runtime) g_runtime = new Runtime;
  return *g_runtime;
}

int32_t Runtime::DllAttach(int32_t reason) {
  if (reason == kAttachReason) {
    std::lock_guard lock(g_stateMutex);
    ++g_attachCount;
    if (!g_runtime) g_runtime = new Runtime;
    return 1;
  }
  if (reason != kDetachReason) return 1;
  Runtime* last = nullptr;
  {
    std::lock_guard lock(g_stateMutex);
    if (g_attachCount == 0) return 1;
    if (--g_attachCount > 0) return 1;
    last = g_runtime;
  }
  // Outside the lock: shutting down detaches modules, which detach from us in turn.
  if (last) last->Shutdown();
  {
    std::lock_guard lock(g_stateMutex);
    if (g_attachCount > 0 || g_runtime != last) return 1;
    g_runtime = nullptr;
  }
  delete last;
  return 1;
}

void Runtime::DestroyAtUnload() {
  Runtime* last = nullptr;
  {
    std::lock_guard lock(g_stateMutex);
    last = std::exchange(g_runtime, nullptr);
    g_attachCount = 0;
  }
  delete last;
}

int32_t Runtime::AttachUser() {
  return users_.fetch_add(1) == 0 ? 1 : 0;
}

int32_t Runtime::DetachUser() {
  int32_t users = users_.load();
  do {
    if (users <= 0) return kErrFailed;
  } while (!users_.compare_exchange_weak(users, users - 1));
  // Only the first user detaches; its going is the end of the runtime's work.
  Shutdown();
  return 0;
}

void Runtime::Shutdown() {
  if (shutDown_.exchange(true)) return;
  stopping_ = true;
  // Class objects first, while their modules are still attached.
  std::map<Guid, RefPtr<MClassFactory>, GuidLess> objects;
  {
    std::lock_guard lock(classObjectsMutex_);
    objects.swap(classObjects_);
  }
  objects.clear();
  {
    std::lock_guard lock(loaderMutex_);
    modules_->UnloadAll();
  }
  services_->Shutdown();
}

void Runtime::Log(int32_t level, const std::string& text) {
  services_->Log(level, text);
}

// ---- Creation ------------------------------------------------------------------------------

int32_t Runtime::CreateInstanceEntry(const Guid* classId, const Guid* iid, void** out,
                                     MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!classId || !iid) return kErrMissingArg;
  return Get().CreateObject(*classId, *iid, out, outer);
}

int32_t Runtime::CreateObject(const Guid& classId, const Guid& iid, void** out, MUnknown* outer) {
  *out = nullptr;
  if (GuidEquals(classId, kRuntimeRootClass)) {
    if (GuidEquals(iid, kIID_MBaseObject)) return BaseObject::Create(outer, out);
    if (outer) return kErrNoInterface;
    return root_->QueryInterface(iid, out, 1, 0);
  }
  if (GuidEquals(classId, kServiceClass)) return services_->Create(iid, out, outer);
  if (GuidEquals(classId, kImageServiceClass) || GuidEquals(classId, kPackageResourceClass)) {
    return graphics_->Create(classId, iid, out, outer);
  }
  if (GuidEquals(classId, kBrintClass)) return gui::CreateBrintObject(iid, out, outer);
  if (GuidEquals(classId, kNetworkClass)) return CreateNetworkObject(iid, out, outer);
  if (stopping_) return kErrFailed;
  RefPtr<MClassFactory> factory = ClassObject(classId);
  if (!factory) return kErrNotFound;
  int32_t r = factory->CreateInstance(iid, out, outer);
  if (r != 0) *out = nullptr;
  return r;
}

RefPtr<MClassFactory> Runtime::ClassObject(const Guid& classId) {
  {
    std::lock_guard lock(classObjectsMutex_);
    auto it = classObjects_.find(classId);
    if (it != classObjects_.end()) return it->second;
  }
  std::lock_guard loaderLock(loaderMutex_);
  {
    std::lock_guard lock(classObjectsMutex_);
    auto it = classObjects_.find(classId);
    if (it != classObjects_.end()) return it->second;
  }
  std::optional<ClassRecord> record = FindClass(classId);
  if (!record) return nullptr;
  std::string error;
  LoadedModule* module = modules_->Load(record->module, &error);
  if (!module) {
    Log(kConsoleWarning, "cannot create " + FormatGuid(classId) + ": " + error);
    return nullptr;
  }
  void* p = nullptr;
  if (module->factory(&classId, &p) != 0 || !p) return nullptr;
  auto factory = RefPtr<MClassFactory>::Adopt(static_cast<MClassFactory*>(p));
  std::lock_guard lock(classObjectsMutex_);
  // One class object per class id for the runtime's life, whoever asked first.
  auto [it, inserted] = classObjects_.emplace(classId, factory);
  return it->second;
}

// ---- Registry ------------------------------------------------------------------------------

std::optional<ClassRecord> Runtime::FindClass(const Guid& classId) {
  EnsureSelfRegistered();
  NotifyIfChanged();
  return classes_->FindClass(classId);
}

std::vector<CategoryMember> Runtime::Members(const Guid& category) {
  EnsureSelfRegistered();
  NotifyIfChanged();
  return classes_->Members(category);
}

void Runtime::EnsureSelfRegistered() {
  if (selfRegistered_.load() || ownFolder_.empty()) return;
  std::lock_guard lock(loaderMutex_);
  if (selfRegistered_.exchange(true)) return;
  // Every module file beside the runtime is registered when the registry does not know it as
  // it is on disk, so that a fresh build runs without a registration step.
  std::vector<std::string> files;
  if (DIR* dir = ::opendir(ownFolder_.c_str())) {
    while (dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".so") != 0) continue;
      files.push_back(ownFolder_ + "/" + name);
    }
    ::closedir(dir);
  }
  std::sort(files.begin(), files.end());
  const std::string self = CanonicalPath(ownFolder_ + "/oru.so");
  Dl_info info{};
  std::string ownFile;
  if (::dladdr(reinterpret_cast<void*>(&Runtime::DllAttach), &info) != 0 && info.dli_fname) {
    ownFile = CanonicalPath(info.dli_fname);
  }
  for (const std::string& file : files) {
    std::string canonical = CanonicalPath(file);
    if (canonical.empty() || canonical == self || canonical == ownFile) continue;
    struct stat st {};
    if (::stat(canonical.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    std::optional<ModuleStamp> onDisk = StampOfFile(canonical);
    if (onDisk && classes_->RegisteredStamp(canonical) == onDisk) continue;
    if (RegisterModuleFile(kRegisterMode, canonical) != 0) {
      Log(kConsoleWarning, "could not register " + canonical);
    }
  }
}

void Runtime::NotifyIfChanged() {
  uint64_t now = classes_->Generation();
  if (seenGeneration_.exchange(now) == now) return;
  listeners_.Fire([](MRegistryChangeListener* l) { l->OnRegistryChanged(); });
}

int32_t Runtime::AddRemoveChangeListener(MRegistryChangeListener* listener, int32_t add) {
  if (!listener) return kErrMissingArg;
  return add ? listeners_.Add(listener) : listeners_.Remove(listener);
}

int32_t Runtime::CommitBatch(const RegistrationBatch& batch) {
  std::string error;
  bool ok = classes_->Commit(batch, &error);
  if (!ok) Log(kConsoleError, "cannot write the class registry: " + error);
  NotifyIfChanged();
  return ok ? 0 : kErrFailed;
}

int32_t Runtime::RegisterModuleFile(int32_t mode, const std::string& path) {
  std::string canonical = CanonicalPath(AbsoluteFromCurrentFolder(path));
  if (canonical.empty()) return kErrNotFound;
  if (mode == kUnregisterMode) {
    std::string error;
    bool ok = classes_->RemoveModule(canonical, &error);
    NotifyIfChanged();
    return ok ? 0 : kErrFailed;
  }
  std::lock_guard lock(loaderMutex_);
  std::string error;
  LoadedModule* module = modules_->Load(canonical, &error);
  if (!module) {
    Log(kConsoleWarning, error);
    return kErrFailed;
  }
  RegistrationBatch batch;
  batch.module = canonical;
  batch.stamp = StampOfFile(canonical);
  {
    std::lock_guard batchLock(batchMutex_);
    activeBatches_.insert(&batch);
  }
  RegistrationBatch* previous = std::exchange(t_batch, &batch);
  int32_t r =
      module->registerOru(kRegisterMode, &root_->Registrar(), reinterpret_cast<uintptr_t>(&batch));
  t_batch = previous;
  {
    std::lock_guard batchLock(batchMutex_);
    activeBatches_.erase(&batch);
  }
  if (r != 0) {
    // What the module registered before failing stays, and nothing older is dropped.
    // The stamp stays unwritten, so the file is tried again next time.
    batch.stamp.reset();
    batch.replace = false;
    CommitBatch(batch);
    return kErrFailed;
  }
  return CommitBatch(batch);
}

int32_t Runtime::RegisterClass(int32_t mode, const Guid& classId, uintptr_t context,
                               const std::string& name) {
  auto* batch = reinterpret_cast<RegistrationBatch*>(context);
  {
    std::lock_guard lock(batchMutex_);
    if (!activeBatches_.count(batch)) return kErrMissingArg;
  }
  if (mode == kUnregisterMode) {
    std::erase_if(batch->classes, [&](const ClassRecord& c) { return GuidEquals(c.id, classId); });
    return 0;
  }
  for (ClassRecord& c : batch->classes) {
    if (GuidEquals(c.id, classId)) {
      c.name = name;
      return 0;
    }
  }
  batch->classes.push_back(ClassRecord{classId, name, batch->module});
  return 0;
}

int32_t Runtime::AddToCategory(int32_t mode, const Guid& category, const Guid& member,
                               const std::string& name) {
  RegistrationBatch::CategoryChange change{mode != kUnregisterMode, category, member, name};
  if (t_batch) {
    t_batch->categoryChanges.push_back(change);
    return 0;
  }
  RegistrationBatch single;
  single.categoryChanges.push_back(change);
  return CommitBatch(single);
}

int32_t Runtime::SetBatch(int32_t flag) {
  if (flag == 0) {
    // Inside a module's registration the module's own batch already gathers everything.
    if (t_batch) return 0;
    t_openBatch = new RegistrationBatch;
    t_batch = t_openBatch;
    return 0;
  }
  if (!t_openBatch || t_batch != t_openBatch) return 0;
  std::unique_ptr<RegistrationBatch> batch(std::exchange(t_openBatch, nullptr));
  t_batch = nullptr;
  return CommitBatch(*batch);
}

}  // namespace vk2::oru
