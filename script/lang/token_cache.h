// Every script text is lexed once: its tokens are kept, keyed by the text, and shared by every
// run of the same text (loops re-read their bodies from this list, not from the characters).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/text/tstring.h"
#include "script/lang/token.h"

namespace vk2 {

class ScriptDataObject;

struct TokenList {
  TokenList() = default;
  ~TokenList();
  TokenList(const TokenList&) = delete;
  TokenList& operator=(const TokenList&) = delete;

  // The value a literal token stands for, made once and shared by every run of this text. It
  // is read-only: assignments copy it and calls pass a copy, so no script can change it.
  ScriptDataObject* LiteralItem(uint32_t index) const;

  TString source;
  // Ends with an end-of-text token, or with the first error token.
  std::vector<Token> tokens;

 private:
  mutable std::unique_ptr<std::atomic<ScriptDataObject*>[]> literals_;
  mutable std::once_flag literalsMade_;
};

// Lexes `source` into a list (no cache).
std::shared_ptr<const TokenList> LexAll(const TString& source);

// The tokens of `source`, from the cache when the same text was seen before.
std::shared_ptr<const TokenList> CachedTokens(const TString& source);
// Drops every cached list (module shutdown, tests).
void ClearTokenCache();

}  // namespace vk2
