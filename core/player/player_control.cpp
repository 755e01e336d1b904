#include "core/player/player_control.h"

#include <utility>

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/runtime/base_object.h"

namespace vk2 {

int32_t CreatePlayer(const TString& name, const PlayerEnvironment& environment, MPlayer** player) {
  return PlayerControl::Create(name, environment, player);
}

int32_t PlayerControl::Create(const TString& name, const PlayerEnvironment& environment,
                              MPlayer** out) {
  if (!out) return kErrNullResult;
  *out = nullptr;
  RefPtr<PlayerControl> player(new PlayerControl(name, environment));
  const int32_t r = player->Init();
  if (r < 0) {
    player->Shutdown();
    return r;
  }
  *out = static_cast<MPlayer*>(player.Detach());
  return kOk;
}

PlayerControl::PlayerControl(const TString& name, const PlayerEnvironment& environment)
    : env_(environment), name_(name), events_([this](const PlayerEvent& e) { Deliver(e); }) {}

PlayerControl::~PlayerControl() = default;

int32_t PlayerControl::Init() {
  registry_ = env_.errors;
  if (!registry_) {
    registry_ = CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
  }
  errors_.Register(registry_.Get());

  if (env_.makeMediaSystem) media_ = env_.makeMediaSystem();
  if (!media_) return kErrCannotCreate;
  media_->SetOwner(&mediaOwner_);
  media_->SetVolume(volume_);

  // Parts attached by the script side answer through the player; a runtime without the base
  // object class leaves the player without parts.
  if (env_.makeBaseObject) {
    baseObject_ = env_.makeBaseObject(Identity());
  } else {
    void* inner = nullptr;
    if (RuntimeCreateInstance(kRuntimeRootClass, kIID_MBaseObject, &inner, Identity()) == 0) {
      baseObject_ = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(inner));
    }
  }

  if (!events_.Start()) return kErrCannotCreate;
  if (!commandThread_.Start([this] {
        SetCurrentThreadName("vk2-player");
        ServeCommands();
      })) {
    return kErrCannotCreate;
  }
  return kOk;
}

MUnknown* PlayerControl::QueryMore(const Guid& iid) {
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &properties_;
  return QueryBorrowed<MUnknown>(baseObject_, iid);
}

void PlayerControl::BeforeDestroy() {
  Shutdown();
}

int32_t PlayerControl::Shutdown() {
  if (shutDown_.exchange(true)) return kOk;
  RefPtr<MPreferenceStore> savedTo;
  {
    std::lock_guard lock(settingsMutex_);
    savedTo = loadedFrom_;
  }
  // Options reach the store the player was loaded from even when nobody saves them at exit.
  if (savedTo) SaveSettings(savedTo.Get());

  if (media_ && media_->GetState() != kMediaStopped) {
    CancelSwitch();
    if (OnCommandThread()) {
      RunStop();
    } else {
      PlayerCommand stop;
      stop.command = kCommandStop;
      auto waiter = std::make_shared<PlayerCompletion>();
      if (commands_.Push(QueuedCommand{stop, waiter})) waiter->Wait(env_.timings.commandWaitMs);
    }
  }
  StopCommandThread();
  if (media_) media_->SetOwner(nullptr);

  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  {
    ScopedLock lock(lock_);
    playlist = std::move(playlist_);
    current = std::exchange(currentId_, 0);
  }
  if (playlist) {
    playlist->AddRemoveListener(&playlistWatch_, 0, 0);
    if (current) playlist->ReleaseItems(&current, 1);
    playlist = nullptr;
  }

  events_.Stop();
  DetachControlObjects();
  {
    std::lock_guard lock(settingsMutex_);
    section_ = nullptr;
    loadedFrom_ = nullptr;
  }
  return kOk;
}

void PlayerControl::StopCommandThread() {
  for (QueuedCommand& c : commands_.Stop()) {
    if (c.record.command == kCommandSetPlaylist && c.record.target) {
      reinterpret_cast<MPlaylist*>(c.record.target)->Release();
    }
    if (c.waiter) c.waiter->Complete(kPlayerCommandCancelled);
  }
  if (!commandThread_.IsStarted()) return;
  if (commandThread_.IsCurrent()) {
    commandThread_.Detach();
  } else {
    commandThread_.Join();
    commandThread_.CloseHandle();
  }
}

bool PlayerControl::OnCommandThread() const {
  return commandThread_.IsStarted() && commandThread_.IsCurrent();
}

int32_t PlayerControl::GetName(TString* name) {
  if (!name) return kErrNullResult;
  std::lock_guard lock(nameMutex_);
  *name = name_;
  return kOk;
}

int32_t PlayerControl::SetName(const char16_t* name) {
  std::lock_guard lock(nameMutex_);
  name_ = name ? name : u"";
  return kOk;
}

int32_t PlayerControl::GetFileExtensionText(TString* text) {
  return media_->GetFileExtensionText(text);
}

int32_t PlayerControl::GetFileExtensions(MediaTypeList* list) {
  return media_->GetFileExtensions(list);
}

int32_t PlayerControl::SetPlaylist(MPlaylist* playlist) {
  if (!playlist) return kErrMissingArg;
  PlayerCommand command;
  command.command = kCommandSetPlaylist;
  playlist->AddRef();  // handed to the player thread with the record
  command.target = reinterpret_cast<uintptr_t>(playlist);
  return Post(command, 1);
}

int32_t PlayerControl::GetPlaylist(MPlaylist** playlist) {
  if (!playlist) return kErrNullResult;
  *playlist = Playlist().Detach();
  return kOk;
}

RefPtr<MPlaylist> PlayerControl::Playlist() {
  ScopedLock lock(lock_);
  return playlist_;
}

bool PlayerControl::Shuffled() {
  ScopedLock lock(lock_);
  return (flags_ & kPlayerShuffleFlag) != 0;
}

int32_t PlayerControl::AddRemoveListener(MPlayerListener* listener, int32_t add) {
  return add ? listeners_.Add(listener) : listeners_.Remove(listener);
}

void PlayerControl::Fire(int32_t code, TString text) {
  events_.Post(code, std::move(text));
}

void PlayerControl::Deliver(const PlayerEvent& event) {
  // Held for the delivery, so that a listener dropping the last reference cannot free the
  // player under this call; the release then runs here, after the listeners.
  if (!TryAddRef()) return;
  RefPtr<PlayerControl> self = RefPtr<PlayerControl>::Adopt(this);
  listeners_.Deliver(this, event.code, event.text.c_str());
}

int32_t PlayerControl::GetString(const char16_t* name, TString* value) {
  return media_->GetString(name, value);
}
int32_t PlayerControl::GetInteger(const char16_t* name, int32_t* value) {
  return media_->GetInteger(name, value);
}
int32_t PlayerControl::GetNumber(const char16_t* name, double* value) {
  return media_->GetNumber(name, value);
}
int32_t PlayerControl::Describe(PropertyDescriptionList* list) {
  return media_->Describe(list);
}
int32_t PlayerControl::SetString(const char16_t* name, const char16_t* value) {
  return media_->SetString(name, value);
}
int32_t PlayerControl::SetInteger(const char16_t* name, int32_t value) {
  return media_->SetInteger(name, value);
}
int32_t PlayerControl::SetNumber(const char16_t* name, double value) {
  return media_->SetNumber(name, value);
}
int32_t PlayerControl::SendFilterMessage(const char16_t* text, uint32_t reserved) {
  return media_->SendFilterMessage(text, reserved);
}

int32_t PlayerControl::ListModules(std::vector<TString>* names) {
  if (!names) return kErrNullResult;
  return env_.catalogue ? env_.catalogue->ListModules(names) : kOk;
}

int32_t PlayerControl::AddRemoveModuleListListener(MModuleListListener* listener, int32_t add) {
  return env_.catalogue ? env_.catalogue->AddRemoveListener(listener, add) : kOk;
}

}  // namespace vk2
