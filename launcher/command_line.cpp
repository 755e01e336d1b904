#include "launcher/command_line.h"

#include "foundation/parse/tokenizer.h"
#include "platform/executable_path.h"

namespace vk2::launcher {
namespace {

const char16_t kBlank[] = u" ";
const char16_t kQuote[] = u"\"";

TokenizerSpec LauncherSpec() {
  TokenizerSpec spec;
  spec.separators = {kBlank, 1};
  spec.quotes = {kQuote, 1};
  return spec;
}

}  // namespace

TArray<TString> BuildTokens(int argc, const char* const* argv) {
  TArray<TString> tokens;
  std::string self = ExecutablePath();
  if (self.empty() && argc > 0 && argv[0]) self = argv[0];
  tokens.Append(WideFromNarrow(self.c_str(), static_cast<int32_t>(self.size())));
  for (int i = 1; i < argc; ++i)
    tokens.Append(WideFromNarrow(argv[i]));
  return tokens;
}

std::string JoinForHandOver(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    const std::string_view argument(argv[i]);
    if (argument.empty() || argument.find(' ') != std::string_view::npos) {
      text += '"';
      text += argument;
      text += '"';
    } else {
      text += argument;
    }
  }
  return text;
}

TArray<TString> SplitCommandText(const TString& text) {
  TArray<TString> tokens;
  TokenizeWide(text.c_str(), static_cast<int32_t>(text.Length()), LauncherSpec(), &tokens);
  return tokens;
}

TArray<TString> SplitCommandBytes(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  return SplitCommandText(WideFromNarrow(bytes.data(), static_cast<int32_t>(bytes.size())));
}

bool IsServerStart(const TArray<TString>& tokens) {
  for (uint32_t i = 1; i < tokens.Count(); ++i) {
    if (tokens[i] == u"-s") return true;
  }
  return false;
}

}  // namespace vk2::launcher
