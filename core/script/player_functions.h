// The script functions of a player object: one per player operation, translating between
// script values and MPlayer.
#pragma once

#include "component/script/script_binding_table.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class MPlayer;
class MPlaylist;

// What the functions act on; the user data of every function but the callback pair.
class PlayerFunctionTarget {
 public:
  // Null before the object is attached to a player.
  virtual MPlayer* Player() = 0;
  virtual MErrorRegistry* Errors() = 0;
  // The playlist of that name from the core, or the manager's failure.
  virtual int32_t FindPlaylist(const TString& name, RefPtr<MPlaylist>* out) = 0;

 protected:
  ~PlayerFunctionTarget() = default;
};

void RegisterPlayerFunctions(MScriptObject* script, ScriptBindingTable* table,
                             PlayerFunctionTarget* target);

}  // namespace vk2
