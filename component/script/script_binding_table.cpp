#include "component/script/script_binding_table.h"

#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

ScriptBindingTable::~ScriptBindingTable() {
  for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
    if (it->engine) it->engine->Release();
  }
}

bool ScriptBindingTable::Update(const TString& key, const TString& target, const TString& script,
                                bool add, MScriptEngine* engine) {
  if (add) {
    if (engine) engine->AddRef();
    std::lock_guard<std::recursive_mutex> hold(lock_);
    bindings_.push_back(Binding{target, key, script, engine, nextSerial_++});
    return true;
  }
  std::vector<MScriptEngine*> released;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (size_t i = 0; i < bindings_.size();) {
      Binding& binding = bindings_[i];
      if (binding.target.Equals(target, false) && binding.key.Equals(key, false)) {
        released.push_back(binding.engine);
        bindings_.erase(bindings_.begin() + static_cast<ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
  }
  for (MScriptEngine* e : released) {
    if (e) e->Release();
  }
  return !released.empty();
}

bool ScriptBindingTable::IsLive(uint64_t serial) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  for (const Binding& binding : bindings_) {
    if (binding.serial == serial) return true;
  }
  return false;
}

void ScriptBindingTable::RemoveSerial(uint64_t serial) {
  MScriptEngine* released = nullptr;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (auto it = bindings_.begin(); it != bindings_.end(); ++it) {
      if (it->serial == serial) {
        released = it->engine;
        bindings_.erase(it);
        break;
      }
    }
  }
  if (released) released->Release();
}

size_t ScriptBindingTable::Count() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return bindings_.size();
}

void ScriptBindingTable::Clear() {
  std::vector<Binding> dropped;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    dropped.swap(bindings_);
  }
  for (auto it = dropped.rbegin(); it != dropped.rend(); ++it) {
    if (it->engine) it->engine->Release();
  }
}

bool ScriptBindingTable::Fire(const TString& key, MScriptObject* argument) {
  return FireMatching(key, nullptr, argument);
}

bool ScriptBindingTable::FireTarget(const TString& key, const TString& target,
                                    MScriptObject* argument) {
  return FireMatching(key, &target, argument);
}

bool ScriptBindingTable::FireMatching(const TString& key, const TString* target,
                                      MScriptObject* argument) {
  // Copy the matching rows first: running a script under the table's lock would let it change
  // the rows being walked, and would block every thread that updates the table meanwhile.
  std::vector<Binding> due;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (const Binding& binding : bindings_) {
      if (!binding.key.IsEmpty() && !binding.key.Equals(key, true)) continue;
      if (target && !binding.target.Equals(*target, false)) continue;
      if (binding.engine) binding.engine->AddRef();
      due.push_back(binding);
    }
  }
  for (Binding& binding : due) {
    RefPtr<MScriptEngine> engine = RefPtr<MScriptEngine>::Adopt(binding.engine);
    if (!engine || !IsLive(binding.serial)) continue;
    // A binding made where no object ran the script (an init script) runs on none, as the
    // script that made it did; one whose object has gone goes too.
    RefPtr<MScriptObject> target;
    if (!binding.target.IsEmpty() && !engine->FindObject(binding.target, target.Put())) {
      RemoveSerial(binding.serial);
      continue;
    }
    RefPtr<MScriptObject> params;
    RefPtr<MScriptObject> scope;
    if (Failed(CreateScriptInstance(kIID_ScriptDataEntity, nullptr, params.PutVoid())) ||
        Failed(CreateScriptInstance(kIID_MScriptMemberRegistry, nullptr, scope.PutVoid()))) {
      continue;
    }
    AddArrayMember(params.Get(), key, TString());
    if (argument) {
      if (ScriptDataEntity* list = AsDataEntity(params.Get())) list->Append(argument);
    }
    params->SetName(u"params");
    if (auto* registry = static_cast<MScriptMemberRegistry*>(scope->GetMemberRegistry())) {
      registry->AddChild(params.Get());
    }
    engine->Run(binding.script, nullptr, target.Get(), scope.Get(), nullptr);
  }
  return true;
}

}  // namespace vk2
