#include "visual/control/visual_control.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "audio/common/audio_runtime.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

constexpr size_t kMaxStoredEffects = 64;

struct FunctionText {
  const char16_t* name;
  const char16_t* help;
};

// "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", as scripts pass factory ids back.
TString FactoryIdText(const Guid& id) {
  return TString::Format(u"%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                         static_cast<unsigned>(id.data1), id.data2, id.data3, id.data4[0],
                         id.data4[1], id.data4[2], id.data4[3], id.data4[4], id.data4[5],
                         id.data4[6], id.data4[7]);
}

RefPtr<MScriptObject> NewDataItem() {
  RefPtr<MScriptObject> item;
  if (CreateScriptInstance(kIID_ScriptDataEntity, nullptr, item.PutVoid()) < 0) return nullptr;
  return item;
}

// The visual's id, name, author and version as members of `record`.
bool AddVisualRecord(MScriptObject* record, MVisual* visual) {
  TString name;
  TString author;
  visual->GetName(&name);
  visual->GetAuthor(&author);
  return AddArrayMember(record, TString::Format(u"%u", visual->GetId()), u"id") &&
         AddArrayMember(record, name, u"name") && AddArrayMember(record, author, u"author") &&
         AddArrayMember(record, TString::Format(u"%g", visual->GetVersion()), u"version");
}

// Decimal, or hexadecimal after "0x"; false when no digit was read.
bool ReadUnsigned(const TString& text, uint32_t* value) {
  const NarrowString narrow = NarrowFromWide(text.c_str());
  const char* start = narrow.c_str();
  int base = 10;
  if (start[0] == '0' && (start[1] == 'x' || start[1] == 'X')) {
    start += 2;
    base = 16;
  }
  char* end = nullptr;
  const unsigned long read = std::strtoul(start, &end, base);
  if (end == start || *start == '-' || *start == '+' || *start == ' ') return false;
  *value = static_cast<uint32_t>(read);
  return true;
}

}  // namespace

// Holds the group lock for one operation and makes the named group exist for its length.
class VisualControl::GroupUse {
 public:
  GroupUse(VisualControl* owner, const char16_t* name)
      : owner_(owner), lock_(owner->groupLock_), name_(name ? name : u"") {
    if (!owner_->Find(name_.c_str())) {
      owner_->JoinGroup(nullptr, name_.c_str());
      transient_ = true;
    }
  }
  ~GroupUse() {
    if (transient_) owner_->LeaveGroup(nullptr, name_.c_str());
  }
  GroupUse(const GroupUse&) = delete;
  GroupUse& operator=(const GroupUse&) = delete;
  // Looked up each time: the table may have moved.
  Group* Get() { return owner_->Find(name_.c_str()); }

 private:
  VisualControl* owner_;
  std::lock_guard<std::recursive_mutex> lock_;
  TString name_;
  bool transient_ = false;
};

RefPtr<VisualControl> VisualControl::Make(MVisualHost* host, MPreferenceStore* section) {
  RefPtr<VisualControl> object(new (std::nothrow) VisualControl);
  if (!object) return nullptr;
  object->host_ = host ? RefPtr<MVisualHost>(host)
                       : AudioCreate<MVisualHost>(kVisualHandlerClass, kIID_MVisualHost);
  if (!object->host_) return nullptr;
  object->section_ = RefPtr<MPreferenceStore>(section);
  ControlObjectCore& core = object->core_;
  if (!core.AttachScript(static_cast<MBaseObject*>(object.Get()), TString(u"visuals"),
                         TString(u"visuals"))) {
    return nullptr;
  }
  const auto data = reinterpret_cast<uintptr_t>(object.Get());
  const auto bindings = reinterpret_cast<uintptr_t>(&object->bindings_);
  core.AddFunction(u"GetVisualList", u"Get a list of the IDs of all visuals currently loaded",
                   &GetVisualListHandler, data);
  core.AddFunction(u"GetVisualInfoList",
                   u"Get a list of information about all visuals currently loaded",
                   &GetVisualInfoListHandler, data);
  core.AddFunction(u"GetVisualInfo", u"Get a list of information about a specific visual by ID",
                   &GetVisualInfoHandler, data);
  core.AddFunction(u"LoadVisual", u"Loads a visual into the visual system given its filename",
                   &LoadVisualHandler, data);
  core.AddFunction(u"UnloadVisual",
                   u"Unloads a visual from the visual system given its filename or ID",
                   &UnloadVisualHandler, data);
  core.AddFunction(
      u"GroupNextVisual",
      u"Tells all windows in the specified group to change to the next available visual",
      &StepHandler, data, 1);
  core.AddFunction(
      u"GroupPrevVisual",
      u"Tells all windows in the specified group to change to the previous available visual",
      &StepHandler, data, static_cast<uintptr_t>(-1));
  core.AddFunction(
      u"GroupSetVisual",
      u"Tells all windows in the specified group to change to the specified visual (by ID)",
      &SetVisualHandler, data);
  core.AddFunction(u"GroupIsPostEffectEnabled",
                   u"Indicates whether the visual group specified has the post effect specified "
                   u"(by Factory ID) enabled",
                   &IsPostEffectEnabledHandler, data);
  core.AddFunction(u"GroupEnablePostEffect",
                   u"Enables or disables a post effect for all windows belonging to the "
                   u"specified visual group",
                   &EnablePostEffectHandler, data);
  core.AddFunction(u"GetPostEffectList",
                   u"Returns a list of the names of all the visual post-effect filters available "
                   u"and their factory IDs",
                   &GetPostEffectListHandler, data);
  core.AddFunction(u"RegisterGroupChangeCallback", u"", &CallbackHandler, bindings, 1);
  core.AddFunction(u"UnregisterGroupChangeCallback", u"", &CallbackHandler, bindings, 0);
  object->fullscreen_ = AudioCreate<MVisualWindow>(kVisualHandlerClass, kIID_MVisualWindow);
  if (object->fullscreen_) object->fullscreen_->Register(core.Script());
  object->postEffects_ = PostEffectContainer::Make(object->host_.Get(), object.Get());
  if (object->postEffects_) {
    object->postEffects_->AttachTo(reinterpret_cast<uintptr_t>(core.Script()));
  }
  return object;
}

VisualControl::~VisualControl() {
  if (postEffects_) postEffects_->Shutdown();
}

void VisualControl::Detach() {
  if (postEffects_) postEffects_->Shutdown();
  core_.UnregisterFromEngine();
}

// ---- Groups -------------------------------------------------------------------------------

VisualControl::Group* VisualControl::Find(const char16_t* name) {
  for (Group& g : groups_) {
    if (g.name == name) return &g;
  }
  return nullptr;
}

int32_t VisualControl::GetGroupNames(std::vector<TString>* names) {
  if (!names) return kErrMissingArg;
  std::lock_guard lock(groupLock_);
  names->clear();
  for (const Group& g : groups_)
    names->push_back(g.name);
  return kOk;
}

size_t VisualControl::MemberCount() {
  std::lock_guard lock(groupLock_);
  size_t count = 0;
  for (const Group& g : groups_)
    count += g.windows.size();
  return count;
}

TString VisualControl::VisualName(uint32_t id) {
  RefPtr<MVisual> visual;
  TString name;
  if (id != 0 && host_->GetVisualById(id, visual.Put()) >= 0 && visual) visual->GetName(&name);
  return name;
}

void VisualControl::ShowVisual(Group& group, uint32_t id) {
  group.visual = id;
  for (MVisualGroupWindow* w : group.windows)
    w->SetVisual(id);
}

int32_t VisualControl::JoinGroup(MVisualGroupWindow* window, const char16_t* name) {
  if (!name) return kErrMissingArg;
  {
    std::lock_guard lock(groupLock_);
    if (Group* existing = Find(name)) {
      if (window) existing->windows.push_back(window);
      for (MVisualGroupWindow* w : existing->windows)
        w->SetVisual(existing->visual);
    } else {
      Group group;
      group.name = name;
      group.visual = window ? window->GetVisualId() : 0;
      if (group.visual == 0) {
        group.visual = host_->GetNextId(0);
        if (window && group.visual != 0) window->SetVisual(group.visual);
      }
      if (window) {
        window->GetPostEffects(&group.effects);
        group.windows.push_back(window);
      }
      groups_.push_back(std::move(group));
      LoadStored(groups_.back(), window);
    }
  }
  if (window) NotifyChange(TString(name), true);
  return kOk;
}

void VisualControl::LoadStored(Group& group, MVisualGroupWindow* window) {
  RefPtr<MPreferenceStore> store =
      ControlObjectCore::OpenSubsection(section_.Get(), group.name.c_str());
  if (!store) return;
  TString visualName;
  if (store->GetString(u"VisualName", &visualName) >= 0 && !visualName.IsEmpty()) {
    RefPtr<MVisual> visual;
    if (host_->GetVisualByName(visualName.c_str(), visual.Put()) >= 0 && visual) {
      group.visual = visual->GetId();
      if (window) window->SetVisual(group.visual);
    }
  }
  Guid stored[kMaxStoredEffects];
  uint32_t count = 0;
  if (store->GetGuidList(u"PostEffects", stored, kMaxStoredEffects, &count) < 0) return;
  count = std::min<uint32_t>(count, kMaxStoredEffects);
  const Guid* storedEnd = stored + count;
  for (size_t i = group.effects.size(); i-- > 0;) {
    if (std::find(static_cast<const Guid*>(stored), storedEnd, group.effects[i]) != storedEnd)
      continue;
    for (MVisualGroupWindow* w : group.windows)
      w->EnablePostEffect(group.effects[i], nullptr);
    group.effects.erase(group.effects.begin() + static_cast<ptrdiff_t>(i));
  }
  for (const Guid* id = stored; id != storedEnd; ++id) {
    if (std::find(group.effects.begin(), group.effects.end(), *id) != group.effects.end()) {
      continue;
    }
    int32_t result = kOk;
    RefPtr<MVisualPostEffect> effect = CreateEffect(*id, &result);
    if (!effect) continue;
    for (MVisualGroupWindow* w : group.windows)
      w->EnablePostEffect(*id, effect.Get());
    group.effects.push_back(*id);
  }
}

void VisualControl::Store(const Group& group) {
  RefPtr<MPreferenceStore> store =
      ControlObjectCore::OpenSubsection(section_.Get(), group.name.c_str());
  if (!store) return;
  store->SetString(u"VisualName", VisualName(group.visual).c_str());
  store->SetGuidList(u"PostEffects", group.effects.data(),
                     static_cast<uint32_t>(group.effects.size()));
}

int32_t VisualControl::LeaveGroup(MVisualGroupWindow* window, const char16_t* name) {
  if (!name) return kErrMissingArg;
  {
    std::lock_guard lock(groupLock_);
    if (Group* group = Find(name)) {
      bool member = true;
      if (window) {
        auto it = std::find(group->windows.begin(), group->windows.end(), window);
        member = it != group->windows.end();
        if (member) group->windows.erase(it);
      }
      if (member && group->windows.empty()) {
        Store(*group);
        groups_.erase(groups_.begin() + (group - groups_.data()));
      }
    }
  }
  // Told even when the group or the window was not found.
  if (window) NotifyChange(TString(name), false);
  return kOk;
}

int32_t VisualControl::Step(const char16_t* name, int32_t direction) {
  GroupUse use(this, name);
  Group* group = use.Get();
  if (!group) return kOk;
  uint32_t next = direction > 0 ? host_->GetNextId(group->visual) : host_->GetPrevId(group->visual);
  if (next == 0) next = direction > 0 ? host_->GetNextId(0) : host_->GetPrevId(0);
  if (next != 0 && next != group->visual) ShowVisual(*group, next);
  return kOk;
}

int32_t VisualControl::GroupSetVisual(const char16_t* name, uint32_t id) {
  RefPtr<MVisual> visual;
  if (id == 0 || host_->GetVisualById(id, visual.Put()) < 0 || !visual) return kOk;
  GroupUse use(this, name);
  if (Group* group = use.Get()) ShowVisual(*group, id);
  return kOk;
}

RefPtr<MVisualPostEffect> VisualControl::CreateEffect(const Guid& classId, int32_t* result) {
  void* made = nullptr;
  *result = AudioCreateInstance(classId, kIID_MVisualPostEffect, &made);
  if (*result >= 0 && !made) *result = kErrCannotCreate;
  if (*result < 0) return nullptr;
  return RefPtr<MVisualPostEffect>::Adopt(static_cast<MVisualPostEffect*>(made));
}

int32_t VisualControl::GroupEnablePostEffect(const char16_t* name, const Guid& classId,
                                             int32_t enable) {
  GroupUse use(this, name);
  Group* group = use.Get();
  if (!group) return kOk;
  auto it = std::find(group->effects.begin(), group->effects.end(), classId);
  if (enable) {
    if (it != group->effects.end()) return kOk;
    int32_t result = kOk;
    RefPtr<MVisualPostEffect> effect = CreateEffect(classId, &result);
    if (!effect) return result;
    group->effects.push_back(classId);
    for (MVisualGroupWindow* w : group->windows)
      w->EnablePostEffect(classId, effect.Get());
    return kOk;
  }
  if (it == group->effects.end()) return kOk;
  group->effects.erase(it);
  for (MVisualGroupWindow* w : group->windows)
    w->EnablePostEffect(classId, nullptr);
  return kOk;
}

int32_t VisualControl::GroupIsPostEffectEnabled(const char16_t* name, const Guid& classId) {
  GroupUse use(this, name);
  Group* group = use.Get();
  if (!group) return 0;
  return std::find(group->effects.begin(), group->effects.end(), classId) != group->effects.end()
             ? 1
             : 0;
}

int32_t VisualControl::SendFilterMessage(const char16_t* name, const char16_t* message,
                                         int32_t argument) {
  if (!name) return kErrMissingArg;
  std::lock_guard lock(groupLock_);
  Group* group = Find(name);
  if (!group) return kErrNotFound;
  for (MVisualGroupWindow* w : group->windows)
    w->SendFilterMessage(message ? message : u"", argument);
  return kOk;
}

int32_t VisualControl::AddRemoveGroupListener(MVisualGroupListener* listener, int32_t add) {
  if (!listener) return kErrMissingArg;
  std::lock_guard lock(listenerLock_);
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (add) {
    if (it != listeners_.end()) return kErrAlreadyPresent;
    listeners_.push_back(listener);
    return kOk;
  }
  if (it == listeners_.end()) return kErrNotFound;
  listeners_.erase(it);
  return kOk;
}

void VisualControl::NotifyChange(const TString& group, bool added) {
  std::vector<MVisualGroupListener*> listeners;
  {
    std::lock_guard lock(listenerLock_);
    listeners = listeners_;
  }
  for (MVisualGroupListener* l : listeners)
    l->OnGroupChange(group.c_str(), added ? 1 : 0);
  RefPtr<MScriptObject> record = NewDataItem();
  if (!record) return;
  AddArrayMember(record.Get(), group, u"name");
  AddArrayMember(record.Get(), added ? u"add" : u"remove", u"what");
  bindings_.Fire(group, record.Get());
}

// ---- Base object ----------------------------------------------------------------------------

int32_t VisualControl::AttachPart(const Guid& classId, const Guid& iid) {
  return core_.Parts().Attach(classId, iid, static_cast<MBaseObject*>(this));
}

int32_t VisualControl::AddPart(MUnknown* part) {
  return core_.Parts().Add(part);
}

int32_t VisualControl::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                           const void* after) {
  return core_.Parts().FindAfter(iid, out, addRef, after);
}

// ---- Script functions -------------------------------------------------------------------------

VisualControl* VisualControl::Self(const HandlerCall& call) {
  return reinterpret_cast<VisualControl*>(call.handlerData);
}

int32_t VisualControl::GetVisualListHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  VisualControl* self = Self(call);
  for (uint32_t id = self->host_->GetNextId(0); id != 0; id = self->host_->GetNextId(id))
    AddArrayMember(call.result, TString::Format(u"%u", id), TString());
  return kOk;
}

int32_t VisualControl::GetVisualInfoListHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  VisualControl* self = Self(call);
  ScriptDataEntity* list = AsDataEntity(call.result);
  if (!list) return kErrOutOfMemory;
  for (uint32_t id = self->host_->GetNextId(0); id != 0; id = self->host_->GetNextId(id)) {
    RefPtr<MVisual> visual;
    if (self->host_->GetVisualById(id, visual.Put()) < 0 || !visual) continue;
    MScriptObject* element = list->AppendNew();
    if (!element) return kErrOutOfMemory;
    AddVisualRecord(element, visual.Get());
  }
  return kOk;
}

int32_t VisualControl::GetVisualInfoHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  uint32_t id = 0;
  if (UnpackScriptArgs(call, u"U", &id) < 0) return kScriptBadArguments;
  RefPtr<MVisual> visual;
  if (Self(call)->host_->GetVisualById(id, visual.Put()) < 0 || !visual) {
    ReportScriptError(call, u"Invalid ID");
    return kScriptReportedFailure;
  }
  AddVisualRecord(call.result, visual.Get());
  return kOk;
}

int32_t VisualControl::LoadVisualHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString file;
  if (UnpackScriptArgs(call, u"W", &file) < 0) return kScriptBadArguments;
  if (Self(call)->host_->AddFiles(file.c_str()) < 0) {
    ReportScriptError(call, u"Failed");
    return kScriptReportedFailure;
  }
  return kOk;
}

int32_t VisualControl::UnloadVisualHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString text;
  if (UnpackScriptArgs(call, u"W", &text) < 0) return kScriptBadArguments;
  MVisualHost* host = Self(call)->host_.Get();
  uint32_t id = 0;
  int32_t result = kErrNotFound;
  if (ReadUnsigned(text, &id)) {
    RefPtr<MVisual> visual;
    if (host->GetVisualById(id, visual.Put()) >= 0 && visual) result = visual->MarkFailed();
  } else {
    result = host->RemoveVisualFile(text.c_str());
  }
  if (result < 0) {
    ReportScriptError(call, u"Invalid ID");
    return kScriptReportedFailure;
  }
  return kOk;
}

int32_t VisualControl::StepHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  if (UnpackScriptArgs(call, u"W", &group) < 0) return kScriptBadArguments;
  Self(call)->Step(group.c_str(), static_cast<int32_t>(call.handlerTag));
  return kOk;
}

int32_t VisualControl::SetVisualHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  uint32_t id = 0;
  if (UnpackScriptArgs(call, u"WU", &group, &id) < 0) return kScriptBadArguments;
  Self(call)->GroupSetVisual(group.c_str(), id);
  return kOk;
}

int32_t VisualControl::IsPostEffectEnabledHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  Guid id{};
  if (UnpackScriptArgs(call, u"WM", &group, &id) < 0) return kScriptBadArguments;
  const bool on = Self(call)->GroupIsPostEffectEnabled(group.c_str(), id) == 1;
  SetTextResult(call, on ? u"true" : u"false");
  return kOk;
}

int32_t VisualControl::EnablePostEffectHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  Guid id{};
  bool enable = false;
  if (UnpackScriptArgs(call, u"WMB", &group, &id, &enable) < 0) return kScriptBadArguments;
  if (Self(call)->GroupEnablePostEffect(group.c_str(), id, enable ? 1 : 0) < 0) {
    ReportScriptError(call, u"Invalid Factory ID for post effect");
    return kScriptReportedFailure;
  }
  SetTextResult(call, enable ? u"enabled" : u"disabled");
  return kOk;
}

int32_t VisualControl::GetPostEffectListHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  ScriptDataEntity* list = AsDataEntity(call.result);
  if (!list) return kErrOutOfMemory;
  MVisualHost* host = Self(call)->host_.Get();
  MVisualPostEffect* effect = nullptr;
  Guid id{};
  while (host->NextPostEffect(&effect, &id) >= 0 && effect) {
    TString name;
    TString description;
    if (effect->GetString(u"modulename", &name) < 0 ||
        effect->GetString(u"moduledescription", &description) < 0) {
      continue;
    }
    MScriptObject* element = list->AppendNew();
    if (!element) break;
    AddArrayMember(element, name, u"name");
    AddArrayMember(element, description, u"description");
    AddArrayMember(element, FactoryIdText(id), u"factoryID");
  }
  if (effect) effect->Release();
  return kOk;
}

int32_t VisualControl::CallbackHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; these need theirs.
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  TString script;
  TString target;
  if (UnpackScriptArgs(call, u"WWw", &group, &script, &target) < 0) return kScriptBadArguments;
  // No object named: the callback runs on the object whose script registered it.
  if (target.IsEmpty() && call.extra) reinterpret_cast<MScriptObject*>(call.extra)->GetUid(&target);
  auto* bindings = reinterpret_cast<ScriptBindingTable*>(call.handlerData);
  const bool add = call.handlerTag != 0;
  bindings->Update(group, target, script, add, call.engine);
  SetTextResult(call, add ? u"registered" : u"unregistered");
  return kOk;
}

}  // namespace vk2
