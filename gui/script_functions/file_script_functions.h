// The `velkora` functions that bring files into the player and move playlists to and from files:
// OpenFiles (the open-files dialog with its URL strip), AddFile, LoadPlaylistFile and
// SavePlaylistFile. Filter indices count the dialog's filters from 0.
#pragma once

#include <cstdint>

#include "gui/script_functions/gui_script_services.h"
#include "interfaces/script/handler_call.h"

namespace vk2::gui {

// Shows the open-files dialog and queues the chosen files for the default playlist; the
// command line's openfiledialog switch runs it too.
int32_t RunOpenFilesDialog(const GuiScriptServices& services);

int32_t OpenFilesFunction(HandlerCall& call);
int32_t AddFileFunction(HandlerCall& call);
int32_t LoadPlaylistFileFunction(HandlerCall& call);
int32_t SavePlaylistFileFunction(HandlerCall& call);

}  // namespace vk2::gui
