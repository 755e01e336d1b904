// The script functions of a playlist object: one per playlist operation, translating between
// script values and MPlaylist.
#pragma once

#include "component/script/script_binding_table.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class MPlaylist;

// What the functions act on; the user data of every function but the callback pair.
class PlaylistFunctionTarget {
 public:
  // Null before the object is attached to a playlist.
  virtual MPlaylist* Playlist() = 0;
  virtual MErrorRegistry* Errors() = 0;

 protected:
  ~PlaylistFunctionTarget() = default;
};

void RegisterPlaylistFunctions(MScriptObject* script, ScriptBindingTable* table,
                               PlaylistFunctionTarget* target);

}  // namespace vk2
