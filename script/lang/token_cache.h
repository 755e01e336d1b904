// Every script text is lexed once: its tokens are kept, keyed by the text, and shared by every
// run of the same text (loops re-read their bodies from this list, not from the characters).
#pragma once

#include <memory>
#include <vector>

#include "foundation/text/tstring.h"
#include "script/lang/token.h"

namespace vk2 {

struct TokenList {
  TString source;
  // Ends with an end-of-text token, or with the first error token.
  std::vector<Token> tokens;
};

// Lexes `source` into a list (no cache).
std::shared_ptr<const TokenList> LexAll(const TString& source);

// The tokens of `source`, from the cache when the same text was seen before.
std::shared_ptr<const TokenList> CachedTokens(const TString& source);
// Drops every cached list (module shutdown, tests).
void ClearTokenCache();

}  // namespace vk2
