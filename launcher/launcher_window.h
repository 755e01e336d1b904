// What the launcher's hidden window and DDE service do with what arrives: every command line
// ends in the GUI main object's ExecuteCommand, every message from WM_USER up in its window
// message slot. Each call obtains a fresh reference to the GUI main object and releases it.
// Both run on the GUI thread.
#pragma once

#include <cstdint>

#include "platform/instance/dde_service.h"
#include "platform/instance/message_window.h"

namespace vk2::launcher {

inline constexpr char kWindowClass[] = "Velkora Window Class";
inline constexpr char kWindowTitle[] = "Velkora2";
inline constexpr char kDdeServiceName[] = "velkora2";

// The default window procedure: nothing to do for a window that is never shown.
inline constexpr int64_t kDefaultWindowResult = 0;

int64_t LauncherWindowProcedure(const instance::WindowMessage& message);
int64_t LauncherDdeCallback(const instance::DdeCall& call);

}  // namespace vk2::launcher
