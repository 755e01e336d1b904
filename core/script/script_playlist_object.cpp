#include "core/script/script_playlist_object.h"

#include "component/script/script_report.h"
#include "core/script/callback_dispatch.h"
#include "core/script/script_args.h"
#include "core/script/script_errors.h"
#include "core/script/script_native_object.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

constexpr const char16_t* kEventNames[] = {
    u"ItemsAdded",      u"ItemsRemoved",    u"ItemsUpdated",
    u"ItemsMoved",      u"AllItemsRemoved", u"AllItemsMoved",
    u"IdleScanStarted", u"IdleScanStopped", u"IdleScanSettingChanged",
};

// The parameters of one change record: "ids" and "IDAfter" where the record has them, and
// "changetype", the event name.
RefPtr<MScriptObject> EventParams(const PlaylistChange& change, const char16_t* name) {
  RefPtr<MScriptObject> params = NewDataItem();
  if (!params) return params;
  const auto type = static_cast<uint32_t>(change.type);
  if (type <= static_cast<uint32_t>(PlaylistChangeType::kItemsMoved)) {
    MScriptObject* ids = AppendArray(params.Get(), u"ids");
    for (uint32_t i = 0; i < change.ids.Count(); ++i)
      AppendText(ids, u"", FormatId(change.ids[i]));
  }
  if (change.type == PlaylistChangeType::kItemsAdded ||
      change.type == PlaylistChangeType::kItemsMoved) {
    AppendText(params.Get(), u"IDAfter", FormatId(change.idAfter));
  }
  AppendText(params.Get(), u"changetype", TString(name));
  return params;
}

}  // namespace

const char16_t* ScriptPlaylistObject::EventName(uint32_t changeType) {
  return changeType < std::size(kEventNames) ? kEventNames[changeType] : u"unknown";
}

ScriptPlaylistObject::ScriptPlaylistObject(MBaseObject* host)
    : Aggregatable(host), errors_(MakeErrorRegistry()) {}

RefPtr<MScriptPlaylistObject> ScriptPlaylistObject::Create(MBaseObject* host) {
  if (!host) return {};
  auto* object = new ScriptPlaylistObject(host);
  // The host's part list holds the object from here on; until then this reference does.
  object->Inner()->AddRef();
  const bool ok = object->Init(host);
  RefPtr<MScriptPlaylistObject> face;
  if (ok) face = RefPtr<MScriptPlaylistObject>(static_cast<MScriptPlaylistObject*>(object));
  object->Inner()->Release();
  return face;
}

bool ScriptPlaylistObject::Init(MBaseObject* host) {
  script_ = AttachCoreScriptObject(host, Inner(), u"default", u"Script Playlist Object");
  if (!script_) return false;
  RegisterPlaylistFunctions(script_, &bindings_, this);
  return true;
}

void ScriptPlaylistObject::GetName(TString* out) {
  std::lock_guard hold(nameLock_);
  *out = name_;
}

void ScriptPlaylistObject::SetName(const TString& name) {
  {
    std::lock_guard hold(nameLock_);
    name_ = name;
  }
  script_->SetName(name.IsEmpty() ? TString(u"default") : name);
}

void ScriptPlaylistObject::Detach() {
  if (playlist_) playlist_->AddRemoveListener(this, 0, 0);
}

int32_t ScriptPlaylistObject::Attach(MPlaylist* playlist, MCore* /*core*/) {
  playlist_ = playlist;
  return playlist ? playlist->AddRemoveListener(this, 1, 1) : kScriptBadArguments;
}

int32_t ScriptPlaylistObject::OnChange(const PlaylistChangeList* changes) {
  if (!changes) return 0;
  // One batch's callbacks run in order and never beside another batch's.
  std::lock_guard hold(eventLock_);
  for (uint32_t i = 0; i < changes->records.Count(); ++i) {
    const PlaylistChange& change = changes->records[i];
    const char16_t* name = EventName(static_cast<uint32_t>(change.type));
    RefPtr<MScriptObject> params = EventParams(change, name);
    FireCallbacks(static_cast<MScriptPlaylistObject*>(this), &bindings_, TString(name),
                  params.Get());
  }
  return 0;
}

}  // namespace vk2
