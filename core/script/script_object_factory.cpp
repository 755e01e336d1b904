#include "core/script/script_object_factory.h"

#include "core/script/files_object.h"
#include "core/script/player_helper_object.h"
#include "core/script/prefs_object.h"
#include "core/script/script_container.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

template <class T>
int32_t HandOut(RefPtr<T> object, void** out) {
  if (!object) return kErrOutOfMemory;
  *out = object.Detach();
  return kOk;
}

}  // namespace

int32_t CreateCoreScriptObject(const Guid& id, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (id == kIID_PlaylistsScriptContainer) return HandOut(PlaylistsContainer::Create(), out);
  if (id == kIID_PlayersScriptContainer) return HandOut(PlayersContainer::Create(), out);
  if (id == kIID_PlayerHelperScriptObject) return HandOut(PlayerHelperObject::Create(), out);
  if (id == kIID_PrefsScriptObject) return HandOut(CreatePrefsObject(), out);
  if (id == kIID_FilesScriptObject) return HandOut(GetFilesObject(), out);
  return kErrNoInterface;
}

void ReleaseCoreScriptObjects() {
  ReleaseFilesObject();
}

}  // namespace vk2
