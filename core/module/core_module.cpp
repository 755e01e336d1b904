#include "core/module/core_module.h"

#include <mutex>

#include "component/module/runtime_loader.h"
#include "core/loaders/format_loader.h"
#include "core/loaders/generic_loader.h"
#include "core/playlist/shared_counter.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

RefPtr<MIniFile> NewRuntimeIni() {
  return CreateRuntimeObject<MIniFile>(kServiceClass, kIID_MIniFile);
}
RefPtr<MXmlDocument> NewRuntimeXml() {
  return CreateRuntimeObject<MXmlDocument>(kServiceClass, kIID_MXmlDocument);
}

struct ModuleObjects {
  std::mutex mutex;
  RefPtr<MPlaylistLoader> m3u, pls, xpl;
  RefPtr<MGenericLoader> generic;
  RefPtr<SharedCounter> counter;
};

// Emptied at the last detach, so nothing is left for its destruction at unload.
ModuleObjects g_objects;

ModuleObjects& Objects() {
  return g_objects;
}

template <class T>
int32_t HandOut(const RefPtr<T>& object, MUnknown* face, void** out) {
  if (!object) return kErrOutOfMemory;
  face->AddRef();
  *out = face;
  return kOk;
}

RefPtr<MPlaylistLoader>& LoaderSlot(ModuleObjects& objects, const PlaylistFormat& format) {
  if (&format == &kPlsFormat) return objects.pls;
  if (&format == &kXplFormat) return objects.xpl;
  return objects.m3u;
}

}  // namespace

int32_t GetFormatLoader(const PlaylistFormat& format, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  ModuleObjects& objects = Objects();
  std::lock_guard lock(objects.mutex);
  RefPtr<MPlaylistLoader>& slot = LoaderSlot(objects, format);
  if (!slot) slot = MakeFormatLoader(format, PlaylistDocuments{&NewRuntimeIni, &NewRuntimeXml});
  return HandOut(slot, slot.Get(), out);
}

int32_t GetCoreObjectByClassId(const Guid& id, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  ModuleObjects& objects = Objects();
  std::lock_guard lock(objects.mutex);
  if (id == kIID_GenericLoader) {
    if (!objects.generic) objects.generic = MakeGenericLoader();
    return HandOut(objects.generic, objects.generic.Get(), out);
  }
  if (id == kIID_SharedCounter) {
    if (!objects.counter) objects.counter = RefPtr<SharedCounter>(new SharedCounter);
    return HandOut(objects.counter, static_cast<MSharedCounter*>(objects.counter.Get()), out);
  }
  // The script containers, the player helper and the prefs and files objects come with the
  // script side of the core.
  return kErrNoInterface;
}

void ReleaseCoreModuleObjects() {
  ModuleObjects& objects = Objects();
  ModuleObjects gone;
  {
    std::lock_guard lock(objects.mutex);
    gone.m3u.Swap(objects.m3u);
    gone.pls.Swap(objects.pls);
    gone.xpl.Swap(objects.xpl);
    gone.generic.Swap(objects.generic);
    gone.counter.Swap(objects.counter);
  }
  // Released here, outside the lock: a last release may stop threads.
}

}  // namespace vk2
