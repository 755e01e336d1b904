// Messages to the user outside any window, and the shell.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2::gui {

// Writes the caption and text to stderr. Never waits for a user: an unattended run (no display,
// or VK2_NONINTERACTIVE set) must not hang on a box nobody can close.
void ShowMessageBox(const TString& caption, const TString& text);
// Opens a file or URL with the desktop's handler (xdg-open, no shell). False when it could not
// be started.
bool OpenWithShell(const TString& target);

}  // namespace vk2::gui
