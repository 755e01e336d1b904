#include "audio/engine/audiosys/audio_system.h"

#include <new>

#include "audio/common/audio_runtime.h"
#include "audio/engine/audiosys/chain_nodes.h"
#include "audio/engine/audiosys/media_chain.h"
#include "foundation/util/result.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"

namespace vk2 {
namespace {

constexpr char16_t kSection[] = u"AudioSystem";
constexpr char16_t kDefaultEndpointPref[] = u"DefaultEndpointFactory";

// Decides whether a created class object takes part (decoders and filters have an output,
// output-device endpoints none).
using Qualifier = bool (*)(MUnknown* object);

bool HasOutput(MUnknown* object) {
  return static_cast<MAudioModule*>(object)->HasOutput() != 0;
}
bool HasNoOutput(MUnknown* object) {
  return static_cast<MAudioModule*>(object)->HasOutput() == 0;
}
bool Always(MUnknown*) {
  return true;
}

RefPtr<MClassEnumerator> Enumerator() {
  return AudioCreate<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
}

// Every class of a category that can be created and qualifies.
template <class T, class Fn>
void ForEachInCategory(MClassEnumerator* e, const Guid& category, const Guid& iid,
                       Qualifier qualifies, Fn fn) {
  uint32_t count = 0;
  if (e->GetCategoryCount(category, &count) < 0) return;
  for (uint32_t i = 0; i < count; ++i) {
    Guid id;
    if (e->GetCategoryEntry(category, i, &id, nullptr) < 0) continue;
    void* p = nullptr;
    if (e->CreateInstance(id, iid, &p, nullptr) != 0 || !p) continue;
    RefPtr<T> object = RefPtr<T>::Adopt(static_cast<T*>(p));
    if (qualifies(object.Get())) fn(object.Get());
  }
}

template <class T>
int32_t NextInCategory(MClassEnumerator* enumerator, const Guid& category, const Guid& iid,
                       Qualifier qualifies, T** module, Guid* classId) {
  if (!module || !classId) return kErrMissingArg;
  T* previous = *module;
  *module = nullptr;
  uint32_t count = 0;
  if (enumerator && enumerator->GetCategoryCount(category, &count) < 0) count = 0;
  uint32_t start = 0;
  if (previous) {
    // Past the class the caller holds; an id that is not in the category ends the iteration.
    start = count;
    for (uint32_t i = 0; i < count; ++i) {
      Guid id;
      if (enumerator->GetCategoryEntry(category, i, &id, nullptr) >= 0 && id == *classId) {
        start = i + 1;
        break;
      }
    }
    previous->Release();
  }
  for (uint32_t i = start; i < count; ++i) {
    Guid id;
    if (enumerator->GetCategoryEntry(category, i, &id, nullptr) < 0) continue;
    void* p = nullptr;
    if (enumerator->CreateInstance(id, iid, &p, nullptr) != 0 || !p) continue;
    auto* object = static_cast<T*>(p);
    if (!qualifies(object)) {
      object->Release();
      continue;
    }
    *module = object;
    *classId = id;
    return kOk;
  }
  return kOk;
}

}  // namespace

AudioSystem* AudioSystem::Create() {
  auto* s = new (std::nothrow) AudioSystem;
  if (s) s->AddRef();
  return s;
}

AudioSystem::AudioSystem() {
  prefs_ = AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (prefs_ && prefs_->OpenSection(kSection, 1) < 0) prefs_ = nullptr;
  if (prefs_) {
    uint32_t n = 0;
    Guid id;
    if (prefs_->GetGuidList(kDefaultEndpointPref, &id, 1, &n) == 0 && n >= 1) {
      defaultEndpoint_ = id;
    }
  }
}

AudioSystem::~AudioSystem() = default;

int32_t AudioSystem::CreateInstance(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer) return kErrNoInterface;  // nothing here is made as a part of another object
  if (iid == kIID_MAudioSystem) {
    system_.AddRef();
    *out = static_cast<MAudioSystem*>(&system_);
    return kOk;
  }
  if (iid == kIID_MPacketPool) {
    pool_.AddRef();
    *out = static_cast<MPacketPool*>(&pool_);
    return kOk;
  }
  if (iid == kOutputNodeClass) return CreateOutputNode(&pool_, out);
  if (iid == kEndpointNodeClass) return CreateEndpointNode(out);
  return kErrNoInterface;
}

MUnknown* AudioSystem::SystemFace::Find(const Guid& iid) {
  if (iid == kIID_MAudioSystem) return static_cast<MAudioSystem*>(this);
  if (iid == kIID_MPacketPool) return &Owner()->pool_;
  return nullptr;
}

MMediaChain* AudioSystem::SystemFace::CreateChain() {
  RefPtr<MediaChain> chain = MediaChain::Create();
  if (!chain) return nullptr;
  RefPtr<MClassEnumerator> e = Enumerator();
  if (e) {
    ForEachInCategory<MAudioModule>(
        e.Get(), kCategoryDecoders, kIID_MAudioModule, &HasOutput,
        [&](MUnknown* m) { chain->AddDecoder(static_cast<MAudioModule*>(m)); });
    ForEachInCategory<MAudioModule>(
        e.Get(), kCategoryDspFilters, kIID_MAudioModule, &HasOutput,
        [&](MUnknown* m) { chain->AddDspFilter(static_cast<MAudioModule*>(m)); });
    ForEachInCategory<MStreamReader>(
        e.Get(), kCategoryStreamReaders, kIID_MStreamReader, &Always,
        [&](MUnknown* m) { chain->AddStreamReader(static_cast<MStreamReader*>(m)); });
  }
  return chain.Detach();
}

int32_t AudioSystem::SystemFace::NextDecoder(MAudioModule** module, Guid* classId) {
  RefPtr<MClassEnumerator> e = Enumerator();
  return NextInCategory(e.Get(), kCategoryDecoders, kIID_MAudioModule, &HasOutput, module, classId);
}

int32_t AudioSystem::SystemFace::NextOutputDevice(MAudioModule** module, Guid* classId) {
  RefPtr<MClassEnumerator> e = Enumerator();
  return NextInCategory(e.Get(), kCategoryOutputDevices, kIID_MAudioModule, &HasNoOutput, module,
                        classId);
}

int32_t AudioSystem::SystemFace::NextStreamReader(MStreamReader** reader, Guid* classId) {
  RefPtr<MClassEnumerator> e = Enumerator();
  return NextInCategory(e.Get(), kCategoryStreamReaders, kIID_MStreamReader, &Always, reader,
                        classId);
}

int32_t AudioSystem::SystemFace::NextDspFilter(MAudioModule** module, Guid* classId) {
  RefPtr<MClassEnumerator> e = Enumerator();
  return NextInCategory(e.Get(), kCategoryDspFilters, kIID_MAudioModule, &HasOutput, module,
                        classId);
}

int32_t AudioSystem::SystemFace::SetDefaultEndpoint(Guid classId) {
  ScopedLock lock(Owner()->lock_);
  Owner()->defaultEndpoint_ = classId;
  if (Owner()->prefs_) Owner()->prefs_->SetGuidList(kDefaultEndpointPref, &classId, 1);
  return kOk;
}

int32_t AudioSystem::SystemFace::GetDefaultEndpoint(Guid* classId) {
  if (!classId) return kErrMissingArg;
  ScopedLock lock(Owner()->lock_);
  *classId = Owner()->defaultEndpoint_;
  return kOk;
}

int32_t AudioSystem::SystemFace::CreateDefaultEndpoint(MAudioModule** endpoint) {
  if (!endpoint) return kErrMissingArg;
  *endpoint = nullptr;
  Guid id;
  {
    ScopedLock lock(Owner()->lock_);
    id = Owner()->defaultEndpoint_;
  }
  // Created outside the lock: making a device class may load a module.
  if (!(id == Guid{})) {
    RefPtr<MClassEnumerator> e = Enumerator();
    void* p = nullptr;
    if (e && e->CreateInstance(id, kIID_MAudioModule, &p, nullptr) == 0 && p) {
      *endpoint = static_cast<MAudioModule*>(p);
      return kOk;
    }
  }
  // The first output device; not stored as the default.
  MAudioModule* first = nullptr;
  Guid firstId;
  NextOutputDevice(&first, &firstId);
  if (!first) return kErrNotFound;
  *endpoint = first;
  return kOk;
}

}  // namespace vk2
