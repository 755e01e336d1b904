// The launcher's command lines: the full instance's tokens, the text a later start hands over,
// and how the receiving side splits that text again.
#pragma once

#include <string>
#include <string_view>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2::launcher {

// Token 0 is the program's own path (from /proc/self/exe; argv[0] only when that cannot be
// read), then argv[1..] as they are: the shell has split and unquoted them already.
TArray<TString> BuildTokens(int argc, const char* const* argv);

// argv[1..] joined with blanks, arguments that are empty or hold a blank in double quotes, so
// that splitting the text (SplitCommandText) gives the arguments back. An argument that holds a
// double quote cannot be carried exactly: the launcher's tokenizer has no escape.
std::string JoinForHandOver(int argc, const char* const* argv);

// Splits text as the launcher does everywhere: blanks separate, double quotes group, nothing
// else is special (tabs do not separate).
TArray<TString> SplitCommandText(const TString& text);
// Copy-data and DDE bytes: the text runs to the first NUL or the end of the bytes, whichever
// comes first (the sender's count bounds it); UTF-8, bytes that are not read as Latin-1.
TArray<TString> SplitCommandBytes(std::string_view bytes);

// True when a token from index 1 on is exactly "-s": the media core server start. (Only the
// exact token: -shuffle, -stop or -seek as the first start's arguments start the player.)
bool IsServerStart(const TArray<TString>& tokens);

}  // namespace vk2::launcher
