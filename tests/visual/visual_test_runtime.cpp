#include "tests/visual/visual_test_runtime.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/registrar.h"
#include "visual/post_effect.h"

namespace vk2::test {

struct VisualTestRuntime::State {
  std::recursive_mutex mutex;
  std::vector<ClassRecord> classes;
  std::vector<std::pair<Guid, Guid>> categories;  // (category, member)
  std::vector<MRegistryChangeListener*> listeners;
  std::vector<void*> libraries;
  std::u16string registeringFile;
  int registeredFiles = 0;
  std::vector<Guid> refusing;

  void Changed() {
    std::vector<MRegistryChangeListener*> copy;
    {
      std::lock_guard<std::recursive_mutex> lock(mutex);
      copy = listeners;
    }
    // Outside the lock, as the runtime does.
    for (MRegistryChangeListener* l : copy)
      l->OnRegistryChanged();
  }
};

namespace {

using State = VisualTestRuntime::State;
using RegisterFn = int32_t (*)(int32_t, MRegistrar*, uintptr_t);

// Plain counted objects over the shared state: they may outlive a test's runtime object.
template <class Interface>
class Counted : public Interface {
 public:
  explicit Counted(std::shared_ptr<State> state) : state_(std::move(state)) {}
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    if (out) *out = nullptr;
    return kErrNoInterface;
  }

 protected:
  virtual ~Counted() = default;
  std::shared_ptr<State> state_;

 private:
  std::atomic<uint32_t> refs_{0};
};

class Registrar final : public Counted<MRegistrar> {
 public:
  using Counted::Counted;
  int32_t RegisterModuleFile(int32_t mode, const char16_t* path, uint32_t) override {
    if (mode != 1 || !path) return kErrNotSupported;
    const NarrowString narrow = NarrowFromWide(path);
    void* library = dlopen(narrow.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return kErrCannotOpen;
    auto registerOru = reinterpret_cast<RegisterFn>(dlsym(library, "RegisterORU"));
    {
      std::lock_guard<std::recursive_mutex> lock(state_->mutex);
      state_->libraries.push_back(library);
      ++state_->registeredFiles;
      state_->registeringFile = path;
    }
    const int32_t r = registerOru ? registerOru(1, this, 0) : kErrNotSupported;
    state_->Changed();
    return r < 0 ? r : kOk;
  }
  int32_t RegisterClass(int32_t, const Guid& classId, uintptr_t, const char16_t*) override {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    state_->classes.push_back({classId, state_->registeringFile});
    return kOk;
  }
  int32_t AddToCategory(int32_t, const Guid& category, const Guid& member,
                        const char16_t*) override {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    for (const auto& c : state_->categories) {
      if (c.first == category && c.second == member) return kOk;
    }
    state_->categories.emplace_back(category, member);
    return kOk;
  }
  int32_t SetBatch(int32_t) override { return kOk; }
  int32_t Attach() override { return 0; }
  int32_t Detach() override { return kOk; }
};

class Enumerator final : public Counted<MClassEnumerator> {
 public:
  Enumerator(std::shared_ptr<State> state, AudioRuntimeHook* runtime)
      : Counted(std::move(state)), runtime_(runtime) {}
  int32_t AddRemoveChangeListener(MRegistryChangeListener* listener, int32_t add) override {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    auto& l = state_->listeners;
    auto it = std::find(l.begin(), l.end(), listener);
    if (add) {
      if (it != l.end()) return kErrAlreadyPresent;
      l.push_back(listener);
      return kOk;
    }
    if (it == l.end()) return kErrNotFound;
    l.erase(it);
    return kOk;
  }
  int32_t GetClassModule(const Guid& classId, TString* path) override {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    for (const auto& c : state_->classes) {
      if (c.classId == classId) {
        *path = TString(c.file.c_str());
        return kOk;
      }
    }
    return kErrNotFound;
  }
  int32_t GetClassName(const Guid&, TString*) override { return kErrNotFound; }
  int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out, MUnknown*) override {
    return runtime_->CreateInstance(classId, iid, out);
  }
  int32_t GetCategoryCount(const Guid& category, uint32_t* count) override {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    *count =
        static_cast<uint32_t>(std::count_if(state_->categories.begin(), state_->categories.end(),
                                            [&](const auto& c) { return c.first == category; }));
    return kOk;
  }
  int32_t GetCategoryEntry(const Guid& category, uint32_t index, Guid* member, TString*) override {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    for (const auto& c : state_->categories) {
      if (!(c.first == category)) continue;
      if (index-- == 0) {
        *member = c.second;
        return kOk;
      }
    }
    return kErrNotFound;
  }

 private:
  AudioRuntimeHook* runtime_;
};

}  // namespace

VisualTestRuntime::VisualTestRuntime() : state_(std::make_shared<State>()) {
  previous_ = SetAudioRuntimeHook(this);
  // The handler's own class is a post-effect class, as the module registers it.
  state_->categories.emplace_back(kCategoryVisuals, kVisualHandlerClass);
}

VisualTestRuntime::~VisualTestRuntime() {
  SetAudioRuntimeHook(previous_);
  // Module files stay loaded until the runtime goes, as with the runtime itself.
  for (void* library : state_->libraries)
    dlclose(library);
}

int VisualTestRuntime::RegisteredFiles() {
  std::lock_guard<std::recursive_mutex> lock(state_->mutex);
  return state_->registeredFiles;
}

void VisualTestRuntime::AddRefusingPostEffectClass(const Guid& classId) {
  std::lock_guard<std::recursive_mutex> lock(state_->mutex);
  state_->categories.emplace_back(kCategoryVisuals, classId);
  state_->refusing.push_back(classId);
}

int32_t VisualTestRuntime::CreateInstance(const Guid& classId, const Guid& iid, void** out) {
  *out = nullptr;
  if (classId == kRuntimeRootClass && iid == kIID_MRegistrar) {
    auto* r = new Registrar(state_);
    r->AddRef();
    *out = static_cast<MRegistrar*>(r);
    return kOk;
  }
  if (classId == kRuntimeRootClass && iid == kIID_MClassEnumerator) {
    auto* e = new Enumerator(state_, this);
    e->AddRef();
    *out = static_cast<MClassEnumerator*>(e);
    return kOk;
  }
  if (classId == kVisualHandlerClass && iid == kIID_MVisualPostEffect) {
    *out = static_cast<MVisualPostEffect*>(VisualPostEffect::Make().Detach());
    return kOk;
  }
  {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    if (std::find(state_->refusing.begin(), state_->refusing.end(), classId) !=
        state_->refusing.end()) {
      return kErrNoInterface;
    }
  }
  return registry_.CreateInstance(classId, iid, out);
}

}  // namespace vk2::test
