#include "core/managers/playlist_manager.h"

#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kSection[] = u"Velkora/PlaylistServer";
constexpr char16_t kIdleScanValue[] = u"IdleScan";
constexpr char16_t kStartValue[] = u"StartIdleScanImmediately";

}  // namespace

PlaylistManager::PlaylistManager(MUnknown* owner, PlaylistManagerEnvironment environment)
    : SubObject(owner),
      environment_(std::move(environment)),
      settings_(OpenPreferenceSection(environment_.makePreferences, kSection)),
      registry_(u"playlist", this, environment_.log ? environment_.log : RuntimeConsoleLog()) {
  if (!settings_) return;
  TString mode;
  if (settings_->GetString(kIdleScanValue, &mode) >= 0 && mode.Equals(u"thorough", false)) {
    mode_ = IdleScanMode::kThorough;
  }
  bool start = true;
  if (settings_->GetBool(kStartValue, &start) >= 0) startImmediately_ = start;
}

PlaylistManager::~PlaylistManager() {
  RemoveAll();
  if (!settings_) return;
  settings_->SetString(kIdleScanValue, mode_ == IdleScanMode::kThorough ? u"thorough" : u"quick");
  settings_->SetBool(kStartValue, startImmediately_);
  settings_->Save();
}

int32_t PlaylistManager::AddRemoveListener(MNamedObjectListener* listener, int32_t add) {
  return registry_.AddRemoveListener(listener, add);
}
int32_t PlaylistManager::AddRemove(const TString& name, int32_t add) {
  return registry_.AddRemove(name, add != 0);
}
int32_t PlaylistManager::Rename(const TString& oldName, const TString& newName) {
  return registry_.Rename(oldName, newName);
}
int32_t PlaylistManager::Find(const TString& name, RefPtr<MPlaylist>* out) {
  return registry_.Find(name, out);
}
int32_t PlaylistManager::MakeTemporaryName(const TString& base, TString* out) {
  return registry_.MakeTemporaryName(base, out);
}
int32_t PlaylistManager::ListNames(std::vector<TString>* out) {
  if (!out) return kErrMissingArg;
  *out = registry_.ListNames();
  return kOk;
}

int32_t PlaylistManager::SetIdleScan(IdleScanMode mode, uint8_t startImmediately) {
  {
    std::lock_guard lock(mutex_);
    mode_ = mode;
    startImmediately_ = startImmediately != 0;
  }
  // The list is read after the lock is let go: adding a playlist reads the setting while the
  // registry is locked, so taking them the other way round here could deadlock. A playlist
  // being added meanwhile is either made with the new setting or in the list read here.
  const std::vector<RefPtr<MPlaylist>> playlists = registry_.Objects();
  // A playlist's own locks are never taken under this one either.
  for (const RefPtr<MPlaylist>& playlist : playlists)
    playlist->SetIdleScan(mode, startImmediately);
  return kOk;
}

IdleScanMode PlaylistManager::Mode() const {
  std::lock_guard lock(mutex_);
  return mode_;
}

bool PlaylistManager::StartsImmediately() const {
  std::lock_guard lock(mutex_);
  return startImmediately_;
}

int32_t PlaylistManager::Create(RefPtr<MPlaylist>* out, uint8_t noIdleScan) {
  if (!out) return kErrMissingArg;
  if (!environment_.makePlaylist) return kErrNoService;
  RefPtr<MPlaylist> playlist = environment_.makePlaylist();
  if (!playlist) return kErrOutOfMemory;
  if (!noIdleScan) playlist->SetIdleScan(Mode(), StartsImmediately() ? 1 : 0);
  *out = std::move(playlist);
  return kOk;
}

int32_t PlaylistManager::CreateObject(RefPtr<MPlaylist>* out, bool temporary) {
  return Create(out, temporary ? 1 : 0);
}

TString PlaylistManager::NameOf(MPlaylist* playlist) {
  TString name;
  playlist->GetName(&name);
  return name;
}

void PlaylistManager::SetNameOf(MPlaylist* playlist, const TString& name) {
  playlist->SetName(name);
}

void PlaylistManager::Dispose(MPlaylist* playlist, bool all) {
  ShutDownIfUnheld(playlist, all);
}

}  // namespace vk2
