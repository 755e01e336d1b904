// Scripts bound to named events of objects. Firing a key runs every matching binding's script
// on its target object with a "params" array holding the key (and the event's argument).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "foundation/text/tstring.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class ScriptBindingTable {
 public:
  ScriptBindingTable() = default;
  ~ScriptBindingTable();
  ScriptBindingTable(const ScriptBindingTable&) = delete;
  ScriptBindingTable& operator=(const ScriptBindingTable&) = delete;

  // Add: appends a binding (the engine gains a reference). Remove: drops every binding whose
  // target and key equal these, ignoring case; true when one was dropped.
  bool Update(const TString& key, const TString& target, const TString& script, bool add,
              MScriptEngine* engine);
  // Runs the bindings whose key is empty or equals `key` (with case), in the order they were
  // added. A binding whose target no longer exists is dropped. Scripts run outside the table's
  // lock, so they may change the table; a binding removed meanwhile does not run.
  bool Fire(const TString& key, MScriptObject* argument);
  // The same for the bindings of one target only (compared ignoring case): a timer runs the
  // script set for its own object, not those of other objects' timers of the same name.
  bool FireTarget(const TString& key, const TString& target, MScriptObject* argument);
  // Drops every binding.
  void Clear();

  size_t Count();

 private:
  struct Binding {
    TString target;
    TString key;
    TString script;
    MScriptEngine* engine;  // one reference
    uint64_t serial;
  };
  bool FireMatching(const TString& key, const TString* target, MScriptObject* argument);
  bool IsLive(uint64_t serial);
  void RemoveSerial(uint64_t serial);

  std::recursive_mutex lock_;
  std::vector<Binding> bindings_;
  uint64_t nextSerial_ = 1;
};

}  // namespace vk2
