// The core's text scrambling (the stored proxy password, the scripts' Scramble and Unscramble):
// each UTF-16LE byte shifted by a running key, then Base64. It hides text from a casual look
// only; anyone with this code reads it back.
#pragma once

#include "foundation/text/tstring.h"

namespace vk2 {

TString ScrambleText(const TString& text);
// The text back; empty for text that is not scrambled text (not Base64, or a NUL inside).
TString UnscrambleText(const TString& scrambled);

}  // namespace vk2
