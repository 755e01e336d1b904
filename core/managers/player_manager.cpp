#include "core/managers/player_manager.h"

#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kPlayerSection[] = u"velkora/gui/player";

}  // namespace

PlayerManager::PlayerManager(MUnknown* owner, PlayerManagerEnvironment environment)
    : SubObject(owner),
      environment_(std::move(environment)),
      catalogue_(std::make_unique<ModuleCatalogue>(environment_.classes)),
      registry_(u"player", this, environment_.log ? environment_.log : RuntimeConsoleLog()) {
  if (environment_.notifications)
    environment_.notifications->AddRemoveListener(catalogue_.get(), 1);
}

PlayerManager::~PlayerManager() {
  // The removal returns only after a tick in progress: the catalogue can then go.
  if (environment_.notifications)
    environment_.notifications->AddRemoveListener(catalogue_.get(), 0);
  RemoveAll();
  catalogue_.reset();
}

int32_t PlayerManager::AddRemoveListener(MNamedObjectListener* listener, int32_t add) {
  return registry_.AddRemoveListener(listener, add);
}
int32_t PlayerManager::AddRemove(const TString& name, int32_t add) {
  return registry_.AddRemove(name, add != 0);
}
int32_t PlayerManager::Rename(const TString& oldName, const TString& newName) {
  return registry_.Rename(oldName, newName);
}
int32_t PlayerManager::Find(const TString& name, RefPtr<MPlayer>* out) {
  return registry_.Find(name, out);
}
int32_t PlayerManager::MakeTemporaryName(const TString& base, TString* out) {
  return registry_.MakeTemporaryName(base, out);
}
int32_t PlayerManager::ListNames(std::vector<TString>* out) {
  if (!out) return kErrMissingArg;
  *out = registry_.ListNames();
  return kOk;
}

int32_t PlayerManager::Create(RefPtr<MPlayer>* out) {
  if (!out) return kErrMissingArg;
  if (!environment_.makePlayer) return kErrNoService;
  RefPtr<MPlayer> player = environment_.makePlayer(catalogue_.get());
  if (!player) return kErrOutOfMemory;
  if (environment_.coreListener) player->AddRemoveListener(environment_.coreListener, 1);
  *out = std::move(player);
  return kOk;
}

int32_t PlayerManager::SavePlayer(MPlayer* player) {
  if (!player) return kErrMissingArg;
  RefPtr<MPreferenceStore> section =
      OpenPreferenceSection(environment_.makePreferences, kPlayerSection);
  int32_t r = section ? player->SaveSettings(section.Get()) : kErrNoService;
  if (environment_.coreListener) player->AddRemoveListener(environment_.coreListener, 0);
  return r;
}

int32_t PlayerManager::LoadPlayer(MPlayer* player) {
  if (!player) return kErrMissingArg;
  RefPtr<MPreferenceStore> section =
      OpenPreferenceSection(environment_.makePreferences, kPlayerSection);
  return section ? player->LoadSettings(section.Get()) : kErrNoService;
}

int32_t PlayerManager::AddRemoveModuleListListener(MModuleListListener* listener, int32_t add) {
  return catalogue_->AddRemoveListener(listener, add);
}
int32_t PlayerManager::ListModules(std::vector<TString>* names) {
  return catalogue_->ListModules(names);
}
int32_t PlayerManager::GetModuleInstance(const char16_t* module, const char16_t* key,
                                         MPreferenceStore* settings, MUnknown** instance) {
  return catalogue_->GetModuleInstance(module, key, settings, instance);
}

int32_t PlayerManager::CreateObject(RefPtr<MPlayer>* out, bool) {
  return Create(out);
}

TString PlayerManager::NameOf(MPlayer* player) {
  TString name;
  player->GetName(&name);
  return name;
}

void PlayerManager::SetNameOf(MPlayer* player, const TString& name) {
  player->SetName(name.c_str());
}

void PlayerManager::Dispose(MPlayer* player, bool all) {
  ShutDownIfUnheld(player, all);
}

}  // namespace vk2
