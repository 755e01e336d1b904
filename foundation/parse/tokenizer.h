// Splits one line of wide text into tokens: lists ("a, b,c"), key = value lines, command lines
// and markup values.
//
// Tokens are slices of the text with the trim set stripped from both ends. Escapes stay in the
// token text and an escape never starts a token, so a token that begins with an escaped quote
// starts after it. After a closing quote the token loses its last character when it ends within
// the next character (that drops the closing quote from `"a b" ,`).
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2 {

// A set of special characters: `count` characters at `chars` (null with count 0: none).
struct TokenizerChars {
  const char16_t* chars = nullptr;
  int32_t count = 0;

  bool Contains(char16_t c) const {
    for (int32_t i = 0; i < count; ++i) {
      if (chars[i] == c) return true;
    }
    return false;
  }
};

struct TokenizerSpec {
  TokenizerChars commentStarts;  // end the walk outside quotes
  TokenizerChars separators;     // end the current token outside quotes
  TokenizerChars trim;           // stripped from both ends of every token
  TokenizerChars lineEnds;       // end the walk outside quotes
  TokenizerChars escapes;        // step over themselves and the character after them
  TokenizerChars quotes;         // toggle a quoted run
};

// key = value lines: comment "#", separator "=", trim blank, tab, double quote, LF and CR.
void InitKeyValueSpec(TokenizerSpec* spec);
// Lists: no comments, separators comma, blank and tab, trim blank and tab.
// Both: line ends NUL and LF, escape backslash, quote the double quote.
void InitListSpec(TokenizerSpec* spec);

// Empties `out`, then appends the tokens of `text` in order and returns their number. A null
// text gives 0. `length` < 0: the text runs to its terminator (or the first line end).
int32_t TokenizeWide(const char16_t* text, int32_t length, const TokenizerSpec& spec,
                     TArray<TString>* out);

}  // namespace vk2
