// Where the script callbacks of the core's objects run. Player, playlist and container events
// are raised on the core's own threads; when a user interface runs, windows belong to its loop
// thread, so the callbacks are posted there (in raising order) and never run beside the GUI.
// Without a running GUI loop, or when the raising thread is the loop thread, they run at once
// on the raising thread (the script engine takes the interpreter lock for each run).
#pragma once

#include "component/script/script_binding_table.h"
#include "foundation/text/tstring.h"
#include "interfaces/script/script_object.h"
#include "interfaces/unknown.h"

namespace vk2 {

// Fires `key` on `table`. `keeper` owns the table: a posted callback holds a reference on it
// until it has run, so the table outlives the post.
void FireCallbacks(MUnknown* keeper, ScriptBindingTable* table, const TString& key,
                   MScriptObject* argument);

}  // namespace vk2
