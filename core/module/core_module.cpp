#include "core/module/core_module.h"

#include <mutex>

#include "component/module/runtime_loader.h"
#include "core/loaders/format_loader.h"
#include "core/loaders/generic_loader.h"
#include "core/managers/notification_thread.h"
#include "core/module/media_core.h"
#include "core/player/player_factory.h"
#include "core/playlist/playlist_control.h"
#include "core/playlist/shared_counter.h"
#include "core/script/script_object_factory.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"

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
  RefPtr<NotificationThread> notifications;
  RefPtr<MediaCore> core;
};

// Emptied at the last detach, so nothing is left for its destruction at unload.
ModuleObjects g_objects;

ModuleObjects& Objects() {
  return g_objects;
}

// The parts the media core uses in the module: the runtime's preferences, console and class
// registry, and the module's notification thread.
MediaCoreEnvironment ModuleCoreEnvironment(RefPtr<NotificationThread> notifications) {
  MediaCoreEnvironment environment;
  environment.playlists.makePlaylist = [] {
    return RefPtr<MPlaylist>(PlaylistControl::Create().Get());
  };
  environment.players.makePlayer = [](MPlayerModuleCatalogue* catalogue) {
    MPlayer* player = nullptr;
    if (CreatePlayer(TString(), DefaultPlayerEnvironment(catalogue), &player) < 0)
      return RefPtr<MPlayer>();
    return RefPtr<MPlayer>::Adopt(player);
  };
  environment.players.classes =
      CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  environment.players.notifications = RefPtr<MNotificationThread>(notifications.Get());
  return environment;
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
  if (id == kIID_MNotificationThread || id == kIID_MCore) {
    if (!objects.notifications)
      objects.notifications = RefPtr<NotificationThread>(new NotificationThread);
    if (id == kIID_MNotificationThread) {
      return HandOut(objects.notifications, objects.notifications->Identity(), out);
    }
    if (!objects.core)
      objects.core = RefPtr<MediaCore>(new MediaCore(ModuleCoreEnvironment(objects.notifications)));
    return HandOut(objects.core, objects.core->Identity(), out);
  }
  // The script containers, the player helper and the prefs and files objects.
  return CreateCoreScriptObject(id, out);
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
    gone.core.Swap(objects.core);
    gone.notifications.Swap(objects.notifications);
  }
  ReleaseCoreScriptObjects();
  // The core goes before the notification thread its player manager listens to.
  gone.core = nullptr;
  // Released here, outside the lock: a last release may stop threads.
}

}  // namespace vk2
