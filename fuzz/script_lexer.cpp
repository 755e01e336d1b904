// Script lexer: any text lexes to a list that ends with one end or error token, with read
// positions that never go back or past the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "foundation/text/tstring.h"
#include "script/lang/token_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vk2;
  // Even inputs are read as UTF-16 code units too, so lone surrogates and NULs get through.
  TString texts[2] = {
      Utf16(std::string_view(reinterpret_cast<const char*>(data), size)),
      TString(std::u16string_view(reinterpret_cast<const char16_t*>(data), size / 2))};
  for (const TString& text : texts) {
    auto list = LexAll(text);
    if (list->tokens.empty()) abort();
    uint32_t last = 0;
    for (size_t i = 0; i < list->tokens.size(); ++i) {
      const Token& token = list->tokens[i];
      bool final = token.kind == kTokEnd || token.kind == kTokError;
      if (final != (i + 1 == list->tokens.size())) abort();
      if (token.end < last || token.end > text.Length()) abort();
      last = token.end;
    }
  }
  return 0;
}
