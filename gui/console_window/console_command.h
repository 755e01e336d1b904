// What the console window's command entry runs: the typed line made into a script line (a
// leading "? name" asks the named object for its help), echoed to the console, run in the
// context of the window's parent, and its result written back.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2 {
class MConsole;
class MScriptEngine;
class MScriptObject;
}  // namespace vk2

namespace vk2::gui {

// The script line for a typed line: trimmed, and "? name" becomes "name.help()" ("name.help()"
// also when the name already ends in a dot).
TString ConsoleCommandLine(const TString& typed);

// Echoes and runs `typed` with `context` as the script's frame, then writes what it gave. A
// line of "All your base" only gets its answer. Nothing runs without an engine or a context.
void RunConsoleCommand(MConsole* console, MScriptEngine* engine, MScriptObject* context,
                       const TString& typed);

}  // namespace vk2::gui
