// The dialogs shown through GTK. Called on the dialog thread once DialogWindowsAllowed() said
// yes; each returns when the person has answered, the loop serving everything else meanwhile.
#pragma once

#include <cstdint>

#include "oru/gui/dialogs/dialog_requests.h"

namespace vk2 {

FileDialogResult RunGtkFileChooser(const FileDialogRequest& request);
int32_t RunGtkMessageDialog(const MessageBoxRequest& request);

}  // namespace vk2
