#include "gui/bridge/status_listener.h"

#include "component/module/runtime_loader.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "gui/app/app_paths.h"
#include "gui/bridge/player_status.h"
#include "gui/bridge/playlist_file.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {
namespace {

constexpr char16_t kDefaultName[] = u"default";
constexpr char16_t kPlaylistServerSection[] = u"Velkora/PlaylistServer";
constexpr char16_t kBrintSection[] = u"velkora/gui/brint";
constexpr int32_t kLogError = 7;

template <class T>
RefPtr<T> FromCoreModule(const Guid& iid) {
  return CreateRuntimeObject<T>(kMediaCoreClass, iid);
}

}  // namespace

StatusListener::StatusListener(const TString& folder, BridgeServices services)
    : folder_(ResolvePath(CurrentDirectory(), folder)), services_(std::move(services)) {
  playlists_ = FromCoreModule<MScriptContainer>(kIID_PlaylistsScriptContainer);
  players_ = FromCoreModule<MScriptContainer>(kIID_PlayersScriptContainer);
}

StatusListener::~StatusListener() {
  StopCore();
}

void StatusListener::Log(int32_t level, const TString& text) {
  if (services_.log) services_.log(level, text);
}

MCore* StatusListener::Core() {
  std::lock_guard lock(coreMutex_);
  return core_.Get();
}

RefPtr<MCore> StatusListener::HeldCore() {
  std::lock_guard lock(coreMutex_);
  return core_;
}

TString StatusListener::DefaultPlaylistPath() const {
  return TString::Format(u"%s/Velkora.xpl", folder_);
}

TString StatusListener::GetVersionText() {
  TString version;
  TString date;
  if (MCore* core = Core()) {
    core->GetVersion(&version);
    core->GetBuildDate(&date);
  }
  return TString::Format(u"Velkora 2 %s (%s)", version, date);
}

bool StatusListener::StartCore(const TArray<TString>& tokens) {
  remote_ = RemoteHost();
  if (ReadRemoteOption(tokens, &remote_) == RemoteOptionResult::kUnresolvable) {
    Log(kLogError, u"Unable to resolve remote host specified.\n");
    return false;
  }
  if (remote_.set) {
    // A remote start asks for the remote core. The media core serves none, and one that came
    // would be no core this bridge drives: the start has no core either way.
    FromCoreModule<MUnknown>(kIID_MRemoteCore);
    return false;
  }
  RefPtr<MCore> core = FromCoreModule<MCore>(kIID_MCore);
  if (!core) return false;
  {
    std::lock_guard lock(coreMutex_);
    core_ = core;
  }
  const TString program = tokens.Count() > 0 ? tokens[0] : TString();
  core->SetName(program);
  core->AddRemoveListener(this, 1);
  if (!CreateDefaults(core.Get())) return false;

  if (MListenerList* status = services_.status ? services_.status() : nullptr) {
    status->Post(GetVersionText(), kStatusCurrent);
  }
  PublishScriptObjects(core.Get(), program);
  RestoreDefaultPlaylist();
  return true;
}

bool StatusListener::CreateDefaults(MCore* core) {
  MPlaylistManager* playlists = core->GetPlaylistManager();
  MPlayerManager* players = core->GetPlayerManager();
  if (playlists->AddRemove(kDefaultName, 1) != kOk) return false;
  if (players->AddRemove(kDefaultName, 1) != kOk) return false;
  RefPtr<MPlaylist> playlist;
  RefPtr<MPlayer> player;
  if (playlists->Find(kDefaultName, &playlist) != kOk || !playlist) return false;
  if (players->Find(kDefaultName, &player) != kOk || !player) return false;
  // The player's stored options (volume, shuffle, repeat) before it gets its playlist.
  players->LoadPlayer(player.Get());
  return player->SetPlaylist(playlist.Get()) == kOk;
}

void StatusListener::PublishScriptObjects(MCore* core, const TString& program) {
  auto publish = [this](MUnknown* object) {
    if (object && services_.publish) services_.publish(object);
  };
  for (MScriptContainer* container : {playlists_.Get(), players_.Get()}) {
    if (!container) continue;
    container->AttachManager(core);
    publish(container);
  }
  helper_ = FromCoreModule<MPlayerHelper>(kIID_PlayerHelperScriptObject);
  if (helper_) {
    RefPtr<MPreferenceStore> prefs =
        CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    if (prefs && prefs->OpenSection(kBrintSection, 1) < 0) prefs = nullptr;
    helper_->Attach(core, prefs.Get());
    publish(helper_.Get());
  }
  prefsObject_ = FromCoreModule<MScriptObject>(kIID_PrefsScriptObject);
  if (prefsObject_) {
    prefsObject_->RegisterWithEngine(nullptr);
    publish(prefsObject_.Get());
  }
  if (RefPtr<MFilesObject> files = FromCoreModule<MFilesObject>(kIID_FilesScriptObject)) {
    files->CreateProgIdKeys(Utf8(program).c_str());
    publish(files.Get());
  }
}

bool StatusListener::SavePlaylistWanted() {
  RefPtr<MPreferenceStore> prefs =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  bool wanted = false;
  return prefs && prefs->OpenSection(kPlaylistServerSection, 1) >= 0 &&
         prefs->GetBool(u"saveplaylist", &wanted) >= 0 && wanted;
}

void StatusListener::RestoreDefaultPlaylist() {
  if (!SavePlaylistWanted()) return;
  RefPtr<MPlaylistLoader> loader =
      CreateRuntimeObject<MPlaylistLoader>(kXplLoaderClass, kIID_MPlaylistLoader);
  RefPtr<MPlaylist> playlist = FindPlaylist(kDefaultName);
  if (playlist) ReadPlaylistFile(loader.Get(), playlist.Get(), DefaultPlaylistPath());
}

void StatusListener::SaveDefaultPlaylist() {
  if (!SavePlaylistWanted()) return;
  RefPtr<MPlaylistLoader> loader =
      CreateRuntimeObject<MPlaylistLoader>(kXplLoaderClass, kIID_MPlaylistLoader);
  RefPtr<MPlaylist> playlist = FindPlaylist(kDefaultName);
  if (playlist) WritePlaylistFile(loader.Get(), playlist.Get(), DefaultPlaylistPath(), 1, 0);
}

void StatusListener::StopCore() {
  RefPtr<MCore> core = HeldCore();
  if (!core) return;
  SaveDefaultPlaylist();
  core->AddRemoveListener(this, 0);
  // The script engine lets go of what was published here while the media core's module, whose
  // code these objects run, is still loaded.
  for (MScriptContainer* container : {playlists_.Get(), players_.Get()}) {
    if (container) container->DetachManager();
  }
  if (helper_) helper_->Detach();
  helper_ = nullptr;
  if (prefsObject_) prefsObject_->UnregisterFromEngine(nullptr);
  prefsObject_ = nullptr;
  core->RemoveAllObjects();
  std::lock_guard lock(coreMutex_);
  core_ = nullptr;
}

int32_t StatusListener::GetPlayer(RefPtr<MPlayer>* out, const TString& name) {
  *out = nullptr;
  RefPtr<MCore> core = HeldCore();
  if (!core) return kErrNoService;
  int32_t result = core->GetPlayerManager()->Find(ObjectNameOrDefault(name), out);
  if (result < 0) *out = nullptr;
  return result;
}

int32_t StatusListener::GetPlaylist(RefPtr<MPlaylist>* out, const TString& name) {
  *out = nullptr;
  RefPtr<MCore> core = HeldCore();
  if (!core) return kErrNoService;
  int32_t result = core->GetPlaylistManager()->Find(ObjectNameOrDefault(name), out);
  if (result < 0) *out = nullptr;
  return result;
}

RefPtr<MPlayer> StatusListener::FindPlayer(const TString& name) {
  RefPtr<MPlayer> player;
  GetPlayer(&player, name);
  return player;
}

RefPtr<MPlaylist> StatusListener::FindPlaylist(const TString& name) {
  RefPtr<MPlaylist> playlist;
  GetPlaylist(&playlist, name);
  return playlist;
}

int32_t StatusListener::AddTemporaryPlaylist(const TString& base, TString* name) {
  RefPtr<MCore> core = HeldCore();
  if (!core) return kErrNoService;
  return core->GetPlaylistManager()->MakeTemporaryName(ObjectNameOrDefault(base), name);
}

int32_t StatusListener::RemovePlaylist(const TString& name) {
  RefPtr<MCore> core = HeldCore();
  if (!core) return kErrNoService;
  return core->GetPlaylistManager()->AddRemove(name, 0);
}

int32_t StatusListener::LoadIntoPlaylist(const TString& playlist, const TString& entry) {
  RefPtr<MGenericLoader> loader = FromCoreModule<MGenericLoader>(kIID_GenericLoader);
  if (!loader) return kErrNoService;
  return loader->AddToNamedPlaylist(playlist, entry, nullptr);
}

TString StatusListener::ErrorMessage(int32_t code) {
  return RuntimeErrorMessage(code);
}

TString StatusListener::DisplayString() {
  MScriptEngine* engine = services_.engine ? services_.engine() : nullptr;
  if (!engine) return {};
  MScriptObject* raw = nullptr;
  if (engine->Run(u":velkora.player.GetDisplayString()", &raw, nullptr, nullptr, nullptr) != 0 ||
      !raw) {
    if (raw) raw->Release();
    return {};
  }
  RefPtr<MScriptObject> result = RefPtr<MScriptObject>::Adopt(raw);
  TString text;
  if (ScriptDataEntity* data = AsDataEntity(result.Get()); data && data->IsScalar()) {
    data->GetValue(&text);
  }
  return text;
}

void StatusListener::OnCoreEvent(int32_t code, const TString& text, MPlayer* player) {
  MListenerList* status = services_.status ? services_.status() : nullptr;
  if (!status) return;
  PlayerEventTexts texts;
  texts.versionText = [this] { return GetVersionText(); };
  texts.displayString = [this] { return DisplayString(); };
  for (const StatusRecord& record : StatusForEvent(code, text, player, texts)) {
    status->Broadcast(record);
  }
}

}  // namespace vk2::gui
