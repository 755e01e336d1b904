// Script tokens. The kind numbers are the language's own and the parser compares them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

enum TokenKind : int32_t {
  kTokValue = 0,   // number, "literal", UID literal, true, false
  kTokGlobal = 2,  // ::
  kTokName = 5,
  kTokLocal = 6,  // $name; the text is the name
  kTokEnd = 7,
  kTokComma = 8,
  kTokOpenParen = 9,
  kTokCloseParen = 10,
  kTokOpenBrace = 11,
  kTokCloseBrace = 12,
  kTokOpenBracket = 13,
  kTokCloseBracket = 14,
  kTokSemicolon = 15,
  kTokDot = 16,
  kTokColon = 17,
  kTokAssign = 20,
  kTokKey = 21,  // a name or a literal directly followed by ":"
  kTokEqual = 22,
  kTokNotEqual = 23,
  kTokGreater = 24,
  kTokGreaterEqual = 25,
  kTokLess = 26,
  kTokLessEqual = 27,
  kTokAnd = 28,
  kTokOr = 29,
  kTokXor = 30,
  kTokPlus = 31,
  kTokMinus = 32,
  kTokConcat = 33,
  kTokTimes = 34,
  kTokDivide = 35,
  kTokMod = 36,
  kTokNot = 37,
  kTokIncrement = 38,
  kTokDecrement = 39,
  kTokPlusAssign = 40,
  kTokMinusAssign = 41,
  kTokTimesAssign = 42,
  kTokDivideAssign = 43,
  kTokModAssign = 44,
  kTokConcatAssign = 45,
  kTokIf = 46,
  kTokElse = 47,
  kTokForeach = 48,
  kTokFor = 49,
  kTokIn = 50,
  kTokStep = 51,
  kTokTo = 52,
  kTokWhile = 53,
  kTokReturn = 54,
  kTokThis = 55,
  kTokParent = 56,
  kTokError = 57,  // the text is the message
};

inline constexpr uint32_t kNoMatchingBrace = ~uint32_t{0};

struct Token {
  int32_t kind = kTokError;
  uint32_t start = 0;  // first character of the token in the source
  uint32_t end = 0;    // the read position after the token (where an error marker goes)
  TString text;        // literal and error tokens: their own text; others: the characters read
  // Value tokens only: the text read as a number, worked out once per script text.
  bool isNumber = false;
  double number = 0;
  // Local names: the hash of the name (HashName), for lookups without hashing it again.
  size_t hash = 0;
  // "{" tokens: the index of the matching "}" in the token list, or kNoMatchingBrace.
  uint32_t matchingBrace = kNoMatchingBrace;
};

}  // namespace vk2
