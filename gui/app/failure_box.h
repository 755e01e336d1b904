// Messages to the user outside any window, and the shell.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2::gui {

// Writes the caption and text to stderr and shows them in the GUI layer's message box when a
// display is there and VK2_NONINTERACTIVE is unset: an unattended run never waits on a box
// nobody can close.
void ShowMessageBox(const TString& caption, const TString& text);
// Opens a file or URL with the desktop's handler (xdg-open, no shell). False when it could not
// be started.
bool OpenWithShell(const TString& target);

}  // namespace vk2::gui
