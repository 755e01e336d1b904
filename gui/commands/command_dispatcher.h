// Runs one command line, already split into tokens: switches ("-name" or "/name") that control
// the default player, the default playlist, the visuals and the shell, and plain tokens naming
// what to add to the default playlist (queued as one add-files job).
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "gui/commands/command_targets.h"

namespace vk2::gui {

// True when a plain token was queued or a switch took effect.
bool ExecuteCommand(CommandTargets& targets, const TArray<TString>& tokens, uint32_t first);

// True when `name` (without its leading '-' or '/') is one of the switches above.
bool IsCommandSwitch(const char16_t* name);

// A whole number as the C library's wcstol reads it with base 0 and a 32-bit long ("0x"
// hexadecimal, a leading "0" octal, else decimal; saturating). False when no digit was read.
bool ReadWholeNumberBase0(const char16_t* text, int32_t* out);

}  // namespace vk2::gui
