#include "core/script/script_player_object.h"
#include "component/object/query.h"

#include "component/script/script_report.h"
#include "core/script/callback_dispatch.h"
#include "core/script/script_args.h"
#include "core/script/script_errors.h"
#include "core/script/script_native_object.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

constexpr const char16_t* kEventNames[kPlayerEventCount] = {
    u"Playing",       u"PlayFailed",     u"Stopping",      u"Pausing",
    u"SongStarted",   u"Seeking",        u"SeekFailed",    u"Seeked",
    u"VolumeChanged", u"ShuffleChanged", u"RepeatChanged", u"CurrentIDChanged",
};

}  // namespace

const char16_t* ScriptPlayerObject::EventName(int32_t code) {
  return code >= 0 && code < kPlayerEventCount ? kEventNames[code] : nullptr;
}

ScriptPlayerObject::ScriptPlayerObject(MBaseObject* host)
    : Aggregatable(host), errors_(MakeErrorRegistry()) {}

ScriptPlayerObject::~ScriptPlayerObject() {
  if (settings_) settings_->Detach();
}

RefPtr<MScriptPlayerObject> ScriptPlayerObject::Create(MBaseObject* host) {
  if (!host) return {};
  auto* object = new ScriptPlayerObject(host);
  // The host's part list holds the object from here on; until then this reference does.
  object->Inner()->AddRef();
  const bool ok = object->Init(host);
  RefPtr<MScriptPlayerObject> face;
  if (ok) face = RefPtr<MScriptPlayerObject>(static_cast<MScriptPlayerObject*>(object));
  object->Inner()->Release();
  return face;
}

bool ScriptPlayerObject::Init(MBaseObject* host) {
  script_ = AttachCoreScriptObject(host, Inner(), u"default", u"Script Player Object");
  if (!script_) return false;
  RegisterPlayerFunctions(script_, &bindings_, this);
  settings_ = ScriptPlayerSettingsObject::Create();
  if (settings_) {
    settings_->Script()->RegisterWithEngine(nullptr);
    if (auto* registry = static_cast<MScriptMemberRegistry*>(script_->GetMemberRegistry())) {
      registry->AddChild(settings_->Script());
    }
  }
  return true;
}

void ScriptPlayerObject::GetName(TString* out) {
  std::lock_guard hold(nameLock_);
  *out = name_;
}

void ScriptPlayerObject::SetName(const TString& name) {
  {
    std::lock_guard hold(nameLock_);
    name_ = name;
  }
  script_->SetName(name.IsEmpty() ? TString(u"default") : name);
}

void ScriptPlayerObject::Detach() {
  if (settings_) {
    settings_->Detach();
    // The engine's table would keep the settings object, and so this one, for good.
    settings_->Script()->UnregisterFromEngine(nullptr);
  }
  if (player_) player_->AddRemoveListener(&listener_, 0);
}

int32_t ScriptPlayerObject::Attach(MPlayer* player, MCore* core) {
  player_ = player;
  core_ = core;
  if (!player) return kScriptBadArguments;
  const int32_t r = player->AddRemoveListener(&listener_, 1);
  if (settings_) settings_->SetPlayer(player);
  if (auto* events = QueryBorrowed<MPlayerEvents>(player, kIID_MPlayerEvents)) {
    events->Broadcast(reinterpret_cast<uintptr_t>(script_));
  }
  return r;
}

int32_t ScriptPlayerObject::FindPlaylist(const TString& name, RefPtr<MPlaylist>* out) {
  if (!core_) return kScriptNoTarget;
  return core_->GetPlaylistManager()->Find(name, out);
}

void ScriptPlayerObject::OnPlayerEvent(MPlayer* /*player*/, int32_t code, const char16_t* text) {
  const char16_t* name = EventName(code);
  if (!name) return;
  RefPtr<MScriptObject> params;
  if (code == kPlayerPlayFailed) {
    params = NewDataItem();
    if (ScriptDataEntity* data = AsDataEntity(params.Get()))
      data->SetValue(TString(text ? text : u""));
  }
  // Two events of one player never run their callbacks side by side, nor out of order.
  std::lock_guard hold(eventLock_);
  FireCallbacks(static_cast<MScriptPlayerObject*>(this), &bindings_, TString(name), params.Get());
}

}  // namespace vk2
