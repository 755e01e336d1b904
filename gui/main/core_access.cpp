#include "gui/main/core_access.h"

#include "component/module/module_glue.h"
#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/core/playlist_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2::gui {

TString ObjectNameOrDefault(const TString& name) {
  return name.IsEmpty() ? TString(u"default") : name;
}

RuntimeCoreAccess::RuntimeCoreAccess() = default;
RuntimeCoreAccess::~RuntimeCoreAccess() = default;

MCore* RuntimeCoreAccess::Core() {
  if (!core_) core_ = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
  return core_.Get();
}

RefPtr<MPlayer> RuntimeCoreAccess::FindPlayer(const TString& name) {
  RefPtr<MPlayer> player;
  if (!Core() || core_->GetPlayerManager()->Find(ObjectNameOrDefault(name), &player) < 0) {
    return nullptr;
  }
  return player;
}

RefPtr<MPlaylist> RuntimeCoreAccess::FindPlaylist(const TString& name) {
  RefPtr<MPlaylist> playlist;
  if (!Core() || core_->GetPlaylistManager()->Find(ObjectNameOrDefault(name), &playlist) < 0) {
    return nullptr;
  }
  return playlist;
}

int32_t RuntimeCoreAccess::AddTemporaryPlaylist(const TString& base, TString* name) {
  if (!Core()) return kErrNoService;
  return core_->GetPlaylistManager()->MakeTemporaryName(ObjectNameOrDefault(base), name);
}

int32_t RuntimeCoreAccess::RemovePlaylist(const TString& name) {
  if (!Core()) return kErrNoService;
  return core_->GetPlaylistManager()->AddRemove(name, 0);
}

int32_t RuntimeCoreAccess::LoadIntoPlaylist(const TString& playlist, const TString& entry) {
  if (!loader_) loader_ = CreateRuntimeObject<MGenericLoader>(kMediaCoreClass, kIID_GenericLoader);
  if (!loader_) return kErrNoService;
  return loader_->AddToNamedPlaylist(playlist, entry, nullptr);
}

TString RuntimeCoreAccess::ErrorMessage(int32_t code) {
  return RuntimeErrorMessage(code);
}

TString RuntimeErrorMessage(int32_t code) {
  MErrorRegistry* registry = ModuleErrorRegistry();
  RefPtr<MErrorRegistry> own;
  if (!registry) {
    // Outside a module (the tests link this code into a program) ask the runtime.
    own = CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
    registry = own.Get();
  }
  const ErrorRecord* record = registry ? registry->GetRecord(code, 0) : nullptr;
  if (!record || !record->message) return {};
  return WideFromNarrow(record->message);
}

}  // namespace vk2::gui
