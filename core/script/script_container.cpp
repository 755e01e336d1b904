#include "core/script/script_container.h"
#include "component/object/query.h"

#include "component/script/script_report.h"
#include "core/script/callback_dispatch.h"
#include "core/script/callback_functions.h"
#include "core/script/container_functions.h"
#include "core/script/script_args.h"
#include "core/script/script_errors.h"
#include "core/script/script_player_object.h"
#include "core/script/script_playlist_object.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

template <class Child>
struct ChildTraits;
template <>
struct ChildTraits<MScriptPlaylistObject> {
  static constexpr const Guid& kIid = kIID_MScriptPlaylistObject;
  static constexpr const char16_t* kName = u"playlists";
  static RefPtr<MScriptPlaylistObject> Create(MBaseObject* host) {
    return ScriptPlaylistObject::Create(host);
  }
};
template <>
struct ChildTraits<MScriptPlayerObject> {
  static constexpr const Guid& kIid = kIID_MScriptPlayerObject;
  static constexpr const char16_t* kName = u"players";
  static RefPtr<MScriptPlayerObject> Create(MBaseObject* host) {
    return ScriptPlayerObject::Create(host);
  }
};

MNamedObjects<MPlaylist>* ManagerOf(MCore* core, MPlaylist*) {
  return core->GetPlaylistManager();
}
MNamedObjects<MPlayer>* ManagerOf(MCore* core, MPlayer*) {
  return core->GetPlayerManager();
}

template <class Child>
MScriptObject* ScriptOf(Child* child) {
  void* script = nullptr;
  child->QueryInterface(kIID_MScriptObject, &script, 0, 0);
  return static_cast<MScriptObject*>(script);
}

}  // namespace

template <class Object, class Child, const Guid& kClassId>
RefPtr<MScriptContainer> ScriptContainer<Object, Child, kClassId>::Create() {
  RefPtr<ScriptContainer> container(new ScriptContainer);
  const TString name(ChildTraits<Child>::kName);
  if (!container->AttachScriptObject(name, TString::Format(u"Script %s Container Object", name))) {
    return {};
  }
  if (!std::is_same_v<Object, MPlaylist>) RegisterDeviceListFunctions(container->Script());
  return RefPtr<MScriptContainer>(static_cast<MScriptContainer*>(container.Get()));
}

template <class Object, class Child, const Guid& kClassId>
ScriptContainer<Object, Child, kClassId>::ScriptContainer() : errors_(MakeErrorRegistry()) {}

template <class Object, class Child, const Guid& kClassId>
ScriptContainer<Object, Child, kClassId>::~ScriptContainer() {
  DetachManager();
}

template <class Object, class Child, const Guid& kClassId>
MNamedObjects<Object>* ScriptContainer<Object, Child, kClassId>::Manager() {
  std::lock_guard hold(lock_);
  return manager_;
}

template <class Object, class Child, const Guid& kClassId>
int32_t ScriptContainer<Object, Child, kClassId>::AttachManager(MCore* core) {
  if (!core) return kScriptBadArguments;
  MNamedObjects<Object>* manager = ManagerOf(core, static_cast<Object*>(nullptr));
  {
    std::lock_guard hold(lock_);
    if (manager_) return kScriptReported;  // attached once only
    core_ = RefPtr<MCore>(core);
    manager_ = manager;
  }
  manager->AddRemoveListener(this, 1);
  std::vector<TString> names;
  manager->ListNames(&names);
  for (const TString& name : names)
    OnChange(kNamedObjectAdded, name, TString());
  RegisterContainerFunctions(this->Script(), this, std::is_same_v<Object, MPlaylist>);
  // Scripts follow the container's "Added", "Removed" and "Renamed" through the same pair of
  // functions as a player's or playlist's events.
  RegisterCallbackFunctions(
      this->Script(), &bindings_,
      u"Registers for a callback when an object is added, removed or renamed.",
      u"Unregisters your callback registered with RegisterCallback.");
  return kScriptDone;
}

template <class Object, class Child, const Guid& kClassId>
void ScriptContainer<Object, Child, kClassId>::DetachManager() {
  MNamedObjects<Object>* manager;
  {
    std::lock_guard hold(lock_);
    manager = manager_;
    manager_ = nullptr;
  }
  if (manager) manager->AddRemoveListener(this, 0);
  std::vector<TString> names;
  {
    std::lock_guard hold(lock_);
    for (auto& child : children_) {
      TString name;
      child->GetName(&name);
      names.push_back(name);
    }
  }
  for (const TString& name : names)
    RemoveChild(name);
  std::lock_guard hold(lock_);
  core_ = nullptr;
}

template <class Object, class Child, const Guid& kClassId>
void ScriptContainer<Object, Child, kClassId>::OnChange(int32_t change, const TString& name,
                                                        const TString& secondName) {
  RefPtr<MScriptObject> params = NewDataItem();
  ScriptDataEntity* data = AsDataEntity(params.Get());
  const char16_t* event;
  switch (change) {
    case kNamedObjectAdded:
      event = u"Added";
      if (data) data->SetValue(name);
      AddChild(name, params.Get());
      break;
    case kNamedObjectRemoved:
      event = u"Removed";
      if (data) data->SetValue(name);
      RemoveChild(name);
      break;
    case kNamedObjectRenamed:
      event = u"Renamed";
      AppendText(params.Get(), u"oldname", name);
      AppendText(params.Get(), u"newname", secondName);
      RenameChild(name, secondName);
      break;
    default:
      return;
  }
  FireCallbacks(this->Identity(), &bindings_, TString(event), params.Get());
}

template <class Object, class Child, const Guid& kClassId>
void ScriptContainer<Object, Child, kClassId>::AddChild(const TString& name, MScriptObject*) {
  MNamedObjects<Object>* manager = Manager();
  if (!manager) return;
  RefPtr<Object> object;
  if (manager->Find(name, &object) < 0 || !object) return;
  // A core object already published (by another container of the same core) keeps its face.
  RefPtr<Child> child = Query<Child>(object, ChildTraits<Child>::kIid);
  if (!child) {
    RefPtr<MBaseObject> host;
    if (object->QueryInterface(kIID_MBaseObject, host.PutVoid(), 1, 0) < 0 || !host) return;
    child = ChildTraits<Child>::Create(host.Get());
    if (!child) return;
  }
  MCore* core;
  {
    std::lock_guard hold(lock_);
    core = core_.Get();
  }
  child->Attach(object.Get(), core);
  child->SetName(name);
  MScriptObject* script = ScriptOf(child.Get());
  if (!script) return;
  script->RegisterWithEngine(nullptr);
  std::lock_guard hold(lock_);
  children_.push_back(child);
  if (auto* registry = static_cast<MScriptMemberRegistry*>(this->Script()->GetMemberRegistry())) {
    registry->AddChild(script);
  }
}

template <class Object, class Child, const Guid& kClassId>
void ScriptContainer<Object, Child, kClassId>::RemoveChild(const TString& name) {
  RefPtr<Child> child;
  {
    std::lock_guard hold(lock_);
    for (auto it = children_.begin(); it != children_.end(); ++it) {
      TString childName;
      (*it)->GetName(&childName);
      if (childName.Equals(name, true)) {
        child = *it;
        children_.erase(it);
        break;
      }
    }
  }
  if (!child) return;
  MScriptObject* script = ScriptOf(child.Get());
  if (auto* registry = static_cast<MScriptMemberRegistry*>(this->Script()->GetMemberRegistry())) {
    if (script) registry->RemoveChild(script);
  }
  child->Detach();
  if (script) script->UnregisterFromEngine(nullptr);
}

template <class Object, class Child, const Guid& kClassId>
void ScriptContainer<Object, Child, kClassId>::RenameChild(const TString& oldName,
                                                           const TString& newName) {
  std::lock_guard hold(lock_);
  for (auto& child : children_) {
    TString childName;
    child->GetName(&childName);
    if (!childName.Equals(oldName, true)) continue;
    // The container finds children by name: the old name leaves its table, the new one enters.
    MScriptObject* script = ScriptOf(child.Get());
    if (script) this->Script()->UpdateChildName(script, false);
    child->SetName(newName);
    if (script) this->Script()->UpdateChildName(script, true);
    return;
  }
}

template <class Object, class Child, const Guid& kClassId>
int32_t ScriptContainer<Object, Child, kClassId>::AddRemove(const TString& name, int32_t add) {
  MNamedObjects<Object>* manager = Manager();
  return manager ? manager->AddRemove(name, add) : kScriptNoTarget;
}

template <class Object, class Child, const Guid& kClassId>
int32_t ScriptContainer<Object, Child, kClassId>::Rename(const TString& oldName,
                                                         const TString& newName) {
  MNamedObjects<Object>* manager = Manager();
  return manager ? manager->Rename(oldName, newName) : kScriptNoTarget;
}

template <class Object, class Child, const Guid& kClassId>
int32_t ScriptContainer<Object, Child, kClassId>::MakeTemporaryName(const TString& base,
                                                                    TString* out) {
  MNamedObjects<Object>* manager = Manager();
  return manager ? manager->MakeTemporaryName(base, out) : kScriptNoTarget;
}

template <class Object, class Child, const Guid& kClassId>
int32_t ScriptContainer<Object, Child, kClassId>::ListNames(std::vector<TString>* out) {
  MNamedObjects<Object>* manager = Manager();
  return manager ? manager->ListNames(out) : kScriptNoTarget;
}

template <class Object, class Child, const Guid& kClassId>
MPlaylistManager* ScriptContainer<Object, Child, kClassId>::Playlists() {
  std::lock_guard hold(lock_);
  if constexpr (std::is_same_v<Object, MPlaylist>) {
    return core_ ? core_->GetPlaylistManager() : nullptr;
  } else {
    return nullptr;
  }
}

template class ScriptContainer<MPlaylist, MScriptPlaylistObject, kIID_PlaylistsScriptContainer>;
template class ScriptContainer<MPlayer, MScriptPlayerObject, kIID_PlayersScriptContainer>;

}  // namespace vk2
