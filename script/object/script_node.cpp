#include "script/object/script_node.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "component/script/script_report.h"
#include "component/script/script_text.h"
#include "interfaces/ids.h"
#include "script/module_globals.h"
#include "script/object/native_function.h"
#include "script/object/script_data_object.h"
#include "script/object/tstring_hasher.h"

namespace vk2 {

struct ScriptNode::Extras {
  uint32_t version = 0;
  TString className;
  TString help;
  bool helpNotAvailable = false;
  uintptr_t ownerValue = 0;
  std::vector<MScriptObject*> children;  // one reference each, in the order of addition
  std::unordered_map<TString, MScriptObject*, TStringHasher, TStringEqual> byName;
};

namespace {

// ASCII-only case folding, as every case-insensitive compare of the system.
bool LessIgnoringCase(const TString& a, const TString& b) {
  return WideCompare(a.c_str(), b.c_str(), false) < 0;
}

}  // namespace

const TString& ParamsName() {
  static const TString name(u"params");
  return name;
}

ScriptNode* ScriptNode::From(MScriptObject* object) {
  return object ? static_cast<ScriptNode*>(object->InternalQueryInterface(kIID_ScriptNodeImpl))
                : nullptr;
}

ScriptNode::ScriptNode(MScriptObject* base) {
  HoldBase(base);
}

void ScriptNode::HoldBase(MScriptObject* base) {
  base_ = base;
  baseCounted_ = base && base != SharedObjectBase() && base != SharedDataBase();
  if (baseCounted_) base->AddRef();
}

ScriptNode::~ScriptNode() {
  if (extras_) {
    std::vector<MScriptObject*> children;
    children.swap(extras_->children);
    extras_->byName.clear();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if (ScriptNode* node = From(*it)) node->ClearParentIf(this);
      (*it)->Release();
    }
  }
  if (base_ && baseCounted_) base_->Release();
}

ScriptNode::Extras& ScriptNode::MakeExtras() {
  if (!extras_) extras_ = std::make_unique<Extras>();
  return *extras_;
}

void ScriptNode::ClearParentIf(ScriptNode* parent) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (parent_ == parent) parent_ = nullptr;
}

bool ScriptNode::TryAddRef() {
  if (outer_) {
    // Aggregated: the inner count tells whether the outer object still holds this part.
    if (!IsHeld()) return false;
    outer_->AddRef();
    return true;
  }
  return RefCounted::TryAddRef();
}

TString ScriptNode::Name() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return name_;
}

void ScriptNode::ReportError(const TString& message) {
  ReportScriptError(ModuleEngine(), Name(), message);
}

void ScriptNode::GetUid(TString* out) {
  uint32_t uid = Uid();
  *out = uid ? FormatUidText(uid) : TString(kNullUidText);
}

bool ScriptNode::Call(MScriptObject** /*result*/, MScriptEngine* engine, uintptr_t /*extra*/,
                      MScriptObject* /*caller*/, MScriptObject* /*params*/) {
  ReportScriptError(engine ? engine : ModuleEngine(), Name(),
                    u"This is neither a compiled-in function nor a script.");
  return false;
}

bool ScriptNode::Assign(MScriptObject* /*source*/, bool /*byReference*/) {
  ReportError(u"Unable to assign data to complex objects.");
  return false;
}

bool ScriptNode::FindOwnChild(const TString& name, MScriptObject** out) {
  return FindOwnChild(name, HashName(name), out);
}

MScriptObject* ScriptNode::OwnChildBorrowed(const TString& name, size_t hash) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (!extras_) return nullptr;
  auto it = extras_->byName.find(HashedName{name, hash});
  return it != extras_->byName.end() ? it->second : nullptr;
}

bool ScriptNode::FindOwnChild(const TString& name, size_t hash, MScriptObject** out) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (extras_) {
    auto it = extras_->byName.find(HashedName{name, hash});
    if (it != extras_->byName.end()) {
      it->second->AddRef();
      *out = it->second;
      return true;
    }
  }
  *out = nullptr;
  return false;
}

RefPtr<MScriptObject> ScriptNode::BaseObject() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return RefPtr<MScriptObject>(base_);
}

void ScriptNode::SetBaseOfNewObject(MScriptObject* base) {
  MScriptObject* old;
  bool oldCounted;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    old = base_;
    oldCounted = baseCounted_;
    HoldBase(base);
  }
  if (old && oldCounted) old->Release();
}

MScriptObject* ScriptNode::BaseRaw() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return base_;
}

bool ScriptNode::FindMemberPlain(const TString& name, MScriptObject** out, bool create) {
  if (FindOwnChild(name, out)) return true;
  // The base answers without this object's lock held, so no chain of locks builds up.
  if (RefPtr<MScriptObject> base = BaseObject()) {
    if (base->FindMember(name, out, false)) return true;
  }
  *out = nullptr;
  if (!create) return false;
  RefPtr<MScriptObject> made = CreateDataChild(name);
  if (!made) return false;
  *out = made.Detach();
  return true;
}

bool ScriptNode::FindChild(const TString& name, MScriptObject** out) {
  return FindMemberPlain(name, out, false);
}

bool ScriptNode::FindMember(const TString& name, MScriptObject** out, bool create) {
  return FindMemberPlain(name, out, create);
}

RefPtr<MScriptObject> ScriptNode::CreateDataChild(const TString& name) {
  if (ReadOnly()) return nullptr;
  RefPtr<ScriptDataObject> item = ScriptDataObject::Make();
  item->SetName(name);
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    Extras& extras = MakeExtras();
    if (!name.IsEmpty()) extras.byName.emplace(name, item.Get());
    item->AddRef();
    extras.children.push_back(item.Get());
  }
  item->SetParent(this);
  return RefPtr<MScriptObject>(std::move(item));
}

bool ScriptNode::GetParent(MScriptObject** out) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  // The parent clears this pointer under this lock before it is freed, so reading it here is
  // safe; TryAddRef refuses a parent whose count already reached zero.
  if (parent_ && parent_->TryAddRef()) {
    *out = parent_;
    return true;
  }
  *out = nullptr;
  return false;
}

bool ScriptNode::SetParent(MScriptObject* parent) {
  ScriptNode* node = From(parent);
  std::lock_guard<std::recursive_mutex> hold(lock_);
  parent_ = node;
  return true;
}

bool ScriptNode::UpdateChildName(MScriptObject* child, bool add) {
  if (!child) return false;
  TString name;
  child->GetName(&name);
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (!extras_) return false;
  auto& children = extras_->children;
  if (std::find(children.begin(), children.end(), child) == children.end()) return false;
  auto& byName = extras_->byName;
  if (!add) {
    for (auto it = byName.begin(); it != byName.end(); ++it) {
      if (it->second == child) {
        byName.erase(it);
        break;
      }
    }
    return true;
  }
  if (name.IsEmpty() || byName.count(name)) return false;
  byName.emplace(name, child);
  return true;
}

void ScriptNode::GetName(TString* out) {
  *out = Name();
}

void ScriptNode::GetClassName(TString* out) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  *out = extras_ ? extras_->className : TString();
}

uint32_t ScriptNode::GetVersion() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return extras_ ? extras_->version : 0;
}

void ScriptNode::EnumerateChildren(ScriptObjectList* list, int32_t kind, bool includeBase) {
  if (!list) return;
  if (includeBase) {
    if (RefPtr<MScriptObject> base = BaseObject()) base->EnumerateChildren(list, kind, true);
  }
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (!extras_) return;
  for (MScriptObject* child : extras_->children) {
    if (kind != kScriptKindAll && child->GetKind() != kind) continue;
    // Only children reachable by name are listed (a duplicate name hides the later child).
    bool named = false;
    for (const auto& [key, value] : extras_->byName) {
      if (value == child) {
        named = true;
        break;
      }
    }
    if (!named) continue;
    child->AddRef();
    list->Append(child);
  }
}

void ScriptNode::EnumerateNames(ScriptNameList* list, int32_t kind, bool includeBase) {
  if (!list) return;
  if (includeBase) {
    if (RefPtr<MScriptObject> base = BaseObject()) base->EnumerateNames(list, kind, true);
  }
  std::vector<TString> own;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!extras_) return;
    for (const auto& [name, child] : extras_->byName) {
      if (kind == kScriptKindAll || child->GetKind() == kind) own.push_back(name);
    }
  }
  std::sort(own.begin(), own.end(), LessIgnoringCase);
  for (TString& name : own)
    list->Append(std::move(name));
}

void ScriptNode::SetHelp(const TString& text, bool notAvailable) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  Extras& extras = MakeExtras();
  extras.help = text;
  extras.helpNotAvailable = notAvailable;
}

void ScriptNode::Help(TString* out) {
  bool notAvailable;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    notAvailable = extras_ && extras_->helpNotAvailable;
    *out = extras_ && !notAvailable ? extras_->help : TString();
  }
  if (notAvailable) {
    ReportScriptError(ModuleEngine(), u"Help system.", u"Help system is not yet internationalized");
  }
}

void ScriptNode::SetName(const TString& name) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  name_ = name;
}

void ScriptNode::SetVersion(uint32_t version) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  MakeExtras().version = version;
}

void ScriptNode::SetClassName(const TString& name) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  Extras& extras = MakeExtras();
  if (extras.className.IsEmpty()) {
    extras.className = name;
  } else {
    extras.className.Append(u"->");
    extras.className.Append(name);
  }
}

void ScriptNode::SetReadOnly(bool readOnly) {
  readOnly_.store(readOnly);
}

bool ScriptNode::IsReadOnly() {
  return ReadOnly();
}

void ScriptNode::Describe(TString* out, bool /*plain*/, uint32_t /*depth*/) {
  TString name, className, uid;
  GetName(&name);
  GetClassName(&className);
  GetUid(&uid);
  *out = TString::Format(u"(%s - Object:<%s> @ %s)", name, className, uid);
}

uintptr_t ScriptNode::GetOwnerValue() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return extras_ ? extras_->ownerValue : 0;
}

bool ScriptNode::SetOwnerValue(uintptr_t value) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  MakeExtras().ownerValue = value;
  return true;
}

bool ScriptNode::RegisterWithEngine(MScriptEngine* engine) {
  MScriptEngine* target = engine ? engine : ModuleEngine();
  if (!target) return false;
  TString uidText;
  if (!target->RegisterObject(this, &uidText)) return false;
  uid_.store(ParseUidText(uidText));
  std::vector<MScriptObject*> children;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (extras_) {
      for (MScriptObject* child : extras_->children) {
        child->AddRef();
        children.push_back(child);
      }
    }
  }
  for (MScriptObject* child : children) {
    if (child->GetKind() == kScriptKindFunction) child->RegisterWithEngine(target);
    child->SetParent(this);
    child->Release();
  }
  return true;
}

bool ScriptNode::UnregisterFromEngine(MScriptEngine* engine) {
  MScriptEngine* target = engine ? engine : ModuleEngine();
  if (!target) return false;
  std::vector<MScriptObject*> children;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (extras_) {
      for (MScriptObject* child : extras_->children) {
        child->AddRef();
        children.push_back(child);
      }
    }
  }
  for (MScriptObject* child : children) {
    child->UnregisterFromEngine(target);
    child->Release();
  }
  return target->UnregisterObject(this);
}

void ScriptNode::Resolve(MScriptObject** out) {
  AddRef();
  *out = this;
}

bool ScriptNode::SetBase(MScriptObject* base) {
  if (ReadOnly()) return false;
  // A cycle of bases would make every failed lookup run forever.
  for (RefPtr<MScriptObject> walk(base); walk;) {
    if (walk.Get() == static_cast<MScriptObject*>(this)) return false;
    ScriptNode* node = From(walk.Get());
    if (!node) break;
    walk = node->BaseObject();
  }
  MScriptObject* old;
  bool oldCounted;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    old = base_;
    oldCounted = baseCounted_;
    HoldBase(base);
  }
  if (old && oldCounted) old->Release();
  return true;
}

void* ScriptNode::InternalQueryInterface(const Guid& iid) {
  if (iid == kIID_ScriptNodeImpl) return this;
  if (iid == kIID_MScriptObject) return static_cast<MScriptObject*>(this);
  return nullptr;
}

bool ScriptNode::AddChildNode(MScriptObject* child) {
  if (ReadOnly()) {
    ReportError(u"Unable to modify non-writable array!");
    return false;
  }
  if (!child) return false;
  TString name;
  child->GetName(&name);
  if (name.IsEmpty()) return false;
  bool duplicate;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    Extras& extras = MakeExtras();
    duplicate = !extras.byName.emplace(name, child).second;
    child->AddRef();
    extras.children.push_back(child);
  }
  if (duplicate) {
    if (MScriptEngine* engine = ModuleEngine()) {
      engine->WriteConsole(1, TString::Format(u"Duplicate Script Children named %s\n", name));
    }
  }
  child->SetParent(this);
  return true;
}

bool ScriptNode::RemoveChildNode(MScriptObject* child) {
  if (!child) return false;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!extras_) return false;
    auto& children = extras_->children;
    auto it = std::find(children.begin(), children.end(), child);
    if (it == children.end()) return false;
    children.erase(it);
    auto& byName = extras_->byName;
    for (auto entry = byName.begin(); entry != byName.end(); ++entry) {
      if (entry->second == child) {
        byName.erase(entry);
        break;
      }
    }
  }
  if (ScriptNode* node = From(child)) node->ClearParentIf(this);
  child->Release();
  return true;
}

bool ScriptNode::RemoveChildByNameNode(const TString& name) {
  if (ReadOnly()) {
    ReportError(u"Unable to modify non-writable array!");
    return false;
  }
  MScriptObject* child = nullptr;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (extras_) {
      auto it = extras_->byName.find(name);
      if (it != extras_->byName.end()) {
        child = it->second;
        extras_->byName.erase(it);
        auto& children = extras_->children;
        children.erase(std::find(children.begin(), children.end(), child));
      }
    }
  }
  if (!child) {
    ReportError(TString::Format(u"Attempt to remove non-existant child <%s>", name));
    return false;
  }
  if (ScriptNode* node = From(child)) node->ClearParentIf(this);
  child->Release();
  return true;
}

bool ScriptNode::RemoveAllChildrenNode() {
  bool any = false;
  for (;;) {
    MScriptObject* last = nullptr;
    {
      std::lock_guard<std::recursive_mutex> hold(lock_);
      if (extras_ && !extras_->children.empty()) {
        last = extras_->children.back();
        last->AddRef();
      }
    }
    if (!last) return any;
    any = RemoveChildNode(last) || any;
    last->Release();
  }
}

bool ScriptNode::AddFunctionNode(const TString& name, const TString& help, bool helpNotAvailable,
                                 ScriptHandler handler, MScriptObject* object,
                                 uintptr_t handlerData, uintptr_t handlerTag) {
  RefPtr<NativeFunction> function = NativeFunction::Make();
  function->SetHandler(handler, handlerTag, handlerData);
  function->SetAttachedObjectGiven(object != nullptr);
  function->SetName(name);
  function->SetHelp(help, helpNotAvailable);
  TString className;
  if (object) object->GetClassName(&className);
  function->SetClassName(object ? className : TString(u"Generic Object"));
  function->SetVersion(object ? object->GetVersion() : 0x10000);
  if (!AddChildNode(function.Get())) return false;
  // Without an object the function runs on whatever calls it.
  if (!object) function->SetParent(nullptr);
  return true;
}

}  // namespace vk2
