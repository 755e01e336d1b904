#include "gui/display/display_state.h"

#include "foundation/parse/tokenizer.h"

namespace vk2::gui {

std::vector<TString> DisplayStateNames(const TString& text) {
  static constexpr char16_t kSeparators[] = u",";
  static constexpr char16_t kTrim[] = u"\" \t";
  static constexpr char16_t kLineEnds[] = {u'\0'};
  static constexpr char16_t kEscapes[] = u"\\";
  static constexpr char16_t kQuotes[] = u"\"";
  TokenizerSpec spec;
  spec.separators = {kSeparators, 1};
  spec.trim = {kTrim, 3};
  spec.lineEnds = {kLineEnds, 1};
  spec.escapes = {kEscapes, 1};
  spec.quotes = {kQuotes, 1};
  TArray<TString> tokens;
  TokenizeWide(text.c_str(), static_cast<int32_t>(text.Length()), spec, &tokens);
  return std::vector<TString>(tokens.begin(), tokens.end());
}

}  // namespace vk2::gui
