// Showing dialogs: the test hook's answer when one is installed, else GTK's window when the
// process may open one, else the answer of a person who cancelled (file dialogs) or pressed
// the first button (message boxes).
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"
#include "oru/gui/dialogs/dialog_requests.h"

namespace vk2 {

FileDialogResult ShowFileDialog(const FileDialogRequest& request);
// The text goes to stderr in every case.
int32_t ShowMessageBox(const MessageBoxRequest& request);

// A new dialog object (MOpenFileDialog, MSaveFileDialog, MMessageBox) as `iid` with one
// reference; kErrNoInterface for any other id.
int32_t CreateDialogObject(const Guid& iid, void** out);
// The same as a row of BrintClass's part table: dialogs are never aggregated.
int32_t CreateDialogForBrint(MUnknown* outer, const Guid& iid, void** out);

}  // namespace vk2
